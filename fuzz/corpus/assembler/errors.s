start: bogus r9, #x
  .word 0x1FFFF
start:
