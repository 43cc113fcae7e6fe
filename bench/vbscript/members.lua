-- Five million reads and writes of a field of an object (a table with a class's metatable).
local Counter = {}
Counter.__index = Counter

local function memberTest()
  local o = setmetatable({ V = 0 }, Counter)
  for i = 1, 5000000 do
    o.V = o.V + 1
  end
  return o.V
end

print(memberTest())
