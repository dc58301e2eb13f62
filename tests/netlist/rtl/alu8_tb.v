// Every operation on the corner operands (0, 1, 0x7F, 0x80, 0xFF), then 400 random steps.
module alu8_tb;
  reg  [7:0] A, B;
  reg  [2:0] op;
  wire [7:0] Y;
  wire       Z, N, C, V;
  reg  [7:0] corner [0:4];
  integer    seed = 42, i, j, k;

  alu8 dut (.A(A), .B(B), .op(op), .Y(Y), .Z(Z), .N(N), .C(C), .V(V));

  task show;
    $display("VEC A:=%0d B:=%0d op:=%0d  Y=0b%b Z=0b%b N=0b%b C=0b%b V=0b%b", A, B, op, Y, Z, N, C, V);
  endtask

  initial begin
    corner[0] = 8'h00; corner[1] = 8'h01; corner[2] = 8'h7F; corner[3] = 8'h80; corner[4] = 8'hFF;
    for (k = 0; k < 8; k = k + 1)
      for (i = 0; i < 5; i = i + 1)
        for (j = 0; j < 5; j = j + 1) begin
          A = corner[i]; B = corner[j]; op = k;
          #1 show;
        end
    for (i = 0; i < 400; i = i + 1) begin
      A = $random(seed); B = $random(seed); op = $random(seed);
      #1 show;
    end
    $finish;
  end
endmodule
