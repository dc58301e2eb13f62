// A 32-bit ALU, combinational: the operation op on a and b, with the flags of the result.
//   0 add  1 sub  2 and  3 or  4 xor  5 shift left  6 shift right  7 shift right arithmetic
//   8 set if less (signed)  9 set if less (unsigned)  10 nor  11 b  (others: 0)
// Shifts take b[4:0]. carry is the adder's carry out (add) or no borrow (sub); zero and
// negative describe y.
// peer.sh: --period 400
module alu32(input [3:0] op, input [31:0] a, input [31:0] b, output reg [31:0] y, output zero,
             output negative, output carry);
  wire [32:0] sum = {1'b0, a} + {1'b0, b};
  wire [32:0] diff = {1'b0, a} + {1'b0, ~b} + 33'd1;
  wire less = (a[31] != b[31]) ? a[31] : diff[31];
  always @* begin
    case (op)
      4'd0: y = sum[31:0];
      4'd1: y = diff[31:0];
      4'd2: y = a & b;
      4'd3: y = a | b;
      4'd4: y = a ^ b;
      4'd5: y = a << b[4:0];
      4'd6: y = a >> b[4:0];
      4'd7: y = $signed(a) >>> b[4:0];
      4'd8: y = {31'd0, less};
      4'd9: y = {31'd0, ~diff[32]};
      4'd10: y = ~(a | b);
      4'd11: y = b;
      default: y = 32'd0;
    endcase
  end
  assign zero = y == 32'd0;
  assign negative = y[31];
  assign carry = op == 4'd1 ? diff[32] : sum[32];
endmodule
