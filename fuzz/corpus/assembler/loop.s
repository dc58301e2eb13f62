; Sums 10 + 9 + ... + 1 into r2 with a counted loop and a conditional branch.
;
; r1 counts down from 10; subs sets Z when it reaches 0 and bne leaves the loop. r3 counts the
; passes from a delay slot: the three words after a branch always run, taken or not.
;
; Rules this program keeps (the processor has no forwarding and no interlocks):
; - a register written by one word is read correctly three words later, not earlier;
; - the three words after a branch run before the target is fetched;
; - after a flag-setting word the next one keeps bit 9 (sub and brn both have it clear), and a
;   backward branch (bit 10 set) never directly follows an ALU-class word: brn stands in front.
;
; Expected after reset and 76 clock cycles (tavrin -X -r loop.hex -k 0,1*152) and from then on:
;   r1=0x0000 r2=0x0037 r3=0x000a r4=0x0000 r5=0x0000 r6=0x0000 r7=0x0000 N=0 Z=1

        setlo r1, 10            ; counter
        setlo r2, 0             ; sum
        setlo r3, 0             ; passes
        nop                     ; r1 is not readable before the fourth word

loop:   add   r2, r2, r1        ; sum += counter
        subs  r1, r1, 1         ; counter -= 1; Z = 1 when it reaches 0
        brn                     ; never taken: keeps bne away from the ALU word before it
        bne   loop              ; tests the flags subs has just set
        add   r3, r3, 1         ; delay slot 1: once per pass
        nop                     ; delay slot 2
        nop                     ; delay slot 3

done:   bra   done              ; stay here; the branch to itself has a zero displacement
        nop                     ; its delay slots
        nop
        nop
