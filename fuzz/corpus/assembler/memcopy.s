; Copies a four-word table from the ROM into the RAM (addresses 64-67), then reads the copy back
; into r4..r7.
;
; Loads and stores use the address rs1 + rs2 or rs1 + immediate. Loads from the ROM half (0-63)
; read the program's own words; stores there are ignored. While a load or store uses the
; memory, fetching pauses for a cycle: the word three places after it is fetched one cycle late.
;
; Rules this program keeps (the processor has no forwarding and no interlocks):
; - a loaded or computed register is read correctly three words later, not earlier;
; - a load or store just before a branch uses up one of its three delay slots: here only the two
;   words after bne run before the loop starts again, the third only when the loop ends;
; - the backward bne follows the store, never an ALU-class word, so the flag clock stays clean;
;   subs is followed in execute by the load's bubble, a no-operation that keeps bit 9.
;
; Expected after reset and 52 clock cycles (tavrin -X -r memcopy.hex -k 0,1*104) and from then on:
;   r1=0x0018 r2=0x0044 r3=0x0000 r4=0x1234 r5=0xabcd r6=0x00ff r7=0x8001 N=0 Z=1

        setlo r1, table         ; source: the table below, in the ROM
        setlo r2, 64            ; destination: the first RAM word
        setlo r3, 4             ; words to copy
        nop                     ; r1 is not readable before the fourth word

loop:   load  r4, r1, 0         ; r4 = mem[r1]
        add   r1, r1, 1         ; next source word
        subs  r3, r3, 1         ; count down; Z = 1 after the last word
        store r4, r2, 0         ; mem[r2] = r4: three words after the load
        bne   loop              ; again while words remain
        add   r2, r2, 1         ; delay slot: next destination word (every pass)
        nop                     ; delay slot
        nop                     ; runs only after the last pass (the store took its cycle)

        load  r4, r2, -4        ; read the copy back: r2 is 68 now
        load  r5, r2, -3
        load  r6, r2, -2
        load  r7, r2, -1

done:   bra   done              ; stay here
        nop
        nop
        nop

table:  .word 0x1234, 0xabcd, 0x00ff, 0x8001
