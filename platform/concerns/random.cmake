# One generator for every backend (the kit's), seeded from the clock.
qcp_platform_concern(random
  WIN32 native_random.cc
  POSIX native_random.cc
  FAKE fake/fake_random.cc
  WIN32_LIBS qcp_platform_clock
  POSIX_LIBS qcp_platform_clock
  POSIX_STATIC)
