-- A string of one million characters built from 100,000 pieces. Appending with .. copies the
-- whole string each time (over a minute here), so Lua builds it the way Lua programs do: a table
-- of pieces joined once.
local function build()
  local parts = {}
  for i = 1, 100000 do
    parts[#parts + 1] = "abcdefghij"
  end
  local s = table.concat(parts)
  return #s .. ":" .. s:sub(999991)
end

print(build())
