; The processor's built-in ROM program.
;
; Sets up r1..r7, then takes an always-taken branch whose three delay slots still run: the adds
; at 13-15 execute, those at 16-18 are never fetched. Words 56-59 pass r1..r4 through the ALU so
; that their values show on the execute-stage probes. Fetching then runs on through the RAM half
; (all no-operations) and wraps to address 0 at 128: the program repeats every 88 fetches, and
; the setlo words restore r2..r7 to 0x0001 on each pass.
;
; Expected after reset and 20 clock cycles (tavrin -X -k 0,1*40), until cycle 93:
;   r1=0x003e r2=0x003f r3=0x003f r4=0x003f r5=0x0001 r6=0x0001 r7=0x0001 N=0 Z=0
; (r1 keeps 0x003e for ever; r2..r7 go back to 0x0001 on every later pass before the adds run again.)

        setlo r1, 0x3e          ; r1 = 0x003e after reset (setlo keeps the high byte)
        setlo r2, 1
        setlo r3, 1
        setlo r4, 1
        setlo r5, 1
        setlo r6, 1
        setlo r7, 1
        nop                     ; five no-operations keep the branch and its delay slots
        nop                     ; clear of the register writes above
        nop
        nop
        nop
        bra   show              ; always taken: 12 + 44 = 56
        add   r2, r1, r2        ; delay slot 1: runs
        add   r3, r1, r3        ; delay slot 2: runs
        add   r4, r1, r4        ; delay slot 3: runs
        add   r5, r1, r5        ; never fetched
        add   r6, r1, r6        ; never fetched
        add   r7, r1, r7        ; never fetched

        .org  32
        brn   30                ; never taken, and never executed

        .org  56
show:   add   r0, r0, r1        ; results on the ALU output; r0 is not written
        add   r0, r0, r2
        add   r0, r0, r3
        add   r0, r0, r4
