-- One million reads and one million writes of a property of a host object. The Lua counterpart
-- of an object whose members the host resolves: a proxy whose reads and writes go through
-- functions.
local store = { value = 0 }
local host = setmetatable({}, {
  __index = function(_, key) return store[key] end,
  __newindex = function(_, key, v) store[key] = v end,
})

local function hostTest()
  for i = 1, 1000000 do
    host.value = host.value + 1
  end
  return host.value
end

print(hostTest())
