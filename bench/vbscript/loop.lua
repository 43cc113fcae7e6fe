-- Integer arithmetic in a counted loop of 10 million iterations.
local function sumLoop()
  local s = 0
  for i = 1, 10000000 do
    s = (s + i * 3) % 1000003
  end
  return s
end

print(sumLoop())
