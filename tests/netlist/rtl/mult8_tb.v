// The corner operands (0, 1, 0x80, 0xFF) against each other, then 300 random products.
module mult8_tb;
  reg  [7:0]  A, B;
  wire [15:0] P;
  reg  [7:0]  corner [0:3];
  integer     seed = 88, i, j;

  mult8 dut (.A(A), .B(B), .P(P));

  initial begin
    corner[0] = 8'h00; corner[1] = 8'h01; corner[2] = 8'h80; corner[3] = 8'hFF;
    for (i = 0; i < 4; i = i + 1)
      for (j = 0; j < 4; j = j + 1) begin
        A = corner[i]; B = corner[j];
        #1 $display("VEC A:=%0d B:=%0d  P=0b%b", A, B, P);
      end
    for (i = 0; i < 300; i = i + 1) begin
      A = $random(seed); B = $random(seed);
      #1 $display("VEC A:=%0d B:=%0d  P=0b%b", A, B, P);
    end
    $finish;
  end
endmodule
