-- Mod and integer arithmetic on locals in a counted loop of 30 million iterations.
local function modLoop()
  local s = 0
  for i = 1, 30000000 do
    s = s + (i % 7) * 2
  end
  return s
end

print(modLoop())
