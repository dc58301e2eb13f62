// Every A, B and Cin: one line per step, the inputs as settings, the sums as expectations.
module adder4_tb;
  reg  [3:0] A, B;
  reg        Cin;
  wire [3:0] S;
  wire       Cout;
  integer    a, b, c;

  adder4 dut (.A(A), .B(B), .Cin(Cin), .S(S), .Cout(Cout));

  initial begin
    for (c = 0; c < 2; c = c + 1)
      for (a = 0; a < 16; a = a + 1)
        for (b = 0; b < 16; b = b + 1) begin
          A = a; B = b; Cin = c;
          #1 $display("VEC A:=%0d B:=%0d Cin:=%0d  S=0b%b Cout=0b%b", A, B, Cin, S, Cout);
        end
    $finish;
  end
endmodule
