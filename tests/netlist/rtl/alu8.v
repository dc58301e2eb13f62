// An 8-bit ALU. op: 0 add, 1 subtract (A - B), 2 and, 3 or, 4 xor, 5 shift left by one,
// 6 logical shift right by one, 7 arithmetic shift right by one.
// Flags: Z the result is 0, N its bit 7, C the carry out of the add, of A + ~B + 1 for the
// subtract (1 when there is no borrow), the bit shifted out for the shifts, 0 otherwise;
// V signed overflow of the add and the subtract, 0 otherwise.
module alu8 (
  input      [7:0] A,
  input      [7:0] B,
  input      [2:0] op,
  output reg [7:0] Y,
  output           Z,
  output           N,
  output reg       C,
  output reg       V
);
  wire [8:0] sum  = {1'b0, A} + {1'b0, B};
  wire [8:0] diff = {1'b0, A} + {1'b0, ~B} + 9'd1;

  always @(*) begin
    C = 1'b0;
    V = 1'b0;
    case (op)
      3'd0: begin Y = sum[7:0];  C = sum[8];  V = (A[7] == B[7]) && (Y[7] != A[7]); end
      3'd1: begin Y = diff[7:0]; C = diff[8]; V = (A[7] != B[7]) && (Y[7] != A[7]); end
      3'd2: Y = A & B;
      3'd3: Y = A | B;
      3'd4: Y = A ^ B;
      3'd5: begin Y = {A[6:0], 1'b0};  C = A[7]; end
      3'd6: begin Y = {1'b0, A[7:1]};  C = A[0]; end
      default: begin Y = {A[7], A[7:1]}; C = A[0]; end
    endcase
  end

  assign Z = Y == 8'd0;
  assign N = Y[7];
endmodule
