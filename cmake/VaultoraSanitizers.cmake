# Instruments every target, tests included, with AddressSanitizer and
# UndefinedBehaviorSanitizer. Undefined behaviour stops the program instead of printing a
# warning, so a test cannot pass over it.
set(VAULTORA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
  -fno-omit-frame-pointer)
add_compile_options(${VAULTORA_SANITIZER_FLAGS})
add_link_options(${VAULTORA_SANITIZER_FLAGS})
