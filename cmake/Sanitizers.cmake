# KELVARA_SANITIZE builds everything with AddressSanitizer and UndefinedBehaviorSanitizer, for a
# run of the whole suite that turns memory faults and undefined behaviour into failing tests.
# Every finding stops the program: UBSan does not recover, and the tests get options that make
# each report fatal (kelvara_test_suite passes KELVARA_SANITIZER_ENV on).
option(KELVARA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

set(KELVARA_SANITIZER_ENV "")
if(KELVARA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # Leaks are not checked: the system libraries under Qt (fontconfig, the platform plugins) keep
  # their caches to the end of the process, which would bury any finding of ours.
  set(KELVARA_SANITIZER_ENV
      "ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=0:detect_stack_use_after_return=0"
      "UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1")
endif()
