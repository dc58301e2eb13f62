// A 256-bit adder with carry in and out, combinational. Yosys builds its carry chain as a
// lookahead network of generate and propagate terms.
// peer.sh: --period 300
module add256(input [255:0] a, input [255:0] b, input cin, output [255:0] s, output cout);
  assign {cout, s} = a + b + cin;
endmodule
