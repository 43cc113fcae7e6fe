-- Quicksort of 400,000 pseudo-random numbers in a script array, then a check that they are sorted.
local function qsort(a, lo, hi)
  local i, j = lo, hi
  local p = a[(lo + hi) // 2]
  while i <= j do
    while a[i] < p do i = i + 1 end
    while a[j] > p do j = j - 1 end
    if i <= j then
      a[i], a[j] = a[j], a[i]
      i = i + 1
      j = j - 1
    end
  end
  if lo < j then qsort(a, lo, j) end
  if i < hi then qsort(a, i, hi) end
end

local function sortTest()
  local n = 400000
  local a = {}
  local x = 12345
  for i = 0, n - 1 do
    x = (x * 1103 + 12345) % 1000003
    a[i] = x
  end
  qsort(a, 0, n - 1)
  for i = 1, n - 1 do
    if a[i - 1] > a[i] then return -1 end
  end
  return a[0] + a[n // 2] + a[n - 1]
end

print(sortTest())
