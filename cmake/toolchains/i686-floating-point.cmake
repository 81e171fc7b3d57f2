# Floating point of every 32-bit x86 build: SSE2 scalar arithmetic, as on
# x86_64, instead of the x87 unit's extended precision. Headings and
# directions are floats rounded to single precision at each step and then
# truncated to register units; x87 would keep the intermediate results in
# 80 bits and give a different unit at the edges. Every processor that runs
# the console's Windows has SSE2. Consoles built by other compilers keep the
# stack only 4-byte aligned: functions realign it where they need more.
set(RADOVL_I686_FP_FLAGS "-msse2 -mfpmath=sse -mstackrealign")
