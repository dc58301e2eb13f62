// A 16-bit processor datapath in three stages, clocked by clk, reset synchronously by rst.
// Each rising edge takes one instruction from the input instr:
//   [15:13] op  [12:10] rd  [9:7] rs1  [6:4] rs2  [3:0] imm
//   op 0 add  1 sub  2 and  3 or  4 xor  5 shift left by imm  6 shift right by imm
//   7 load: rd = {rs1, rs2, imm} (10 bits, zero-extended)
// Decode reads rs1 and rs2 from the register file (8 x 16 flip-flops, two read ports) into the
// pipeline register de_*; execute runs the ALU on them, each operand forwarded from the result
// being written back when it names the same register; write-back stores the result register
// ex_* into rd (one write port). Outputs: the ALU's output, the write-back stage and a register
// picked by peek.
// peer.sh: --period 500 --toggle clk --hold rst=0
module cpu16(input clk, input rst, input [15:0] instr, input [2:0] peek, output [15:0] alu,
             output [15:0] wb_value, output [2:0] wb_rd, output wb_valid, output [15:0] peeked);
  reg [127:0] regs;
  // Decode: the operands as the register file holds them now.
  reg [2:0] de_op, de_rd, de_rs1, de_rs2;
  reg [3:0] de_imm;
  reg [15:0] de_a, de_b;
  reg de_valid;
  // Execute's result, written back on the next edge.
  reg [15:0] ex_value;
  reg [2:0] ex_rd;
  reg ex_valid;

  wire [2:0] rs1 = instr[9:7], rs2 = instr[6:4];
  // Read ports, bypassing the register being written on this edge.
  wire [15:0] read1 = (ex_valid && ex_rd == rs1) ? ex_value : regs[rs1 * 16 +: 16];
  wire [15:0] read2 = (ex_valid && ex_rd == rs2) ? ex_value : regs[rs2 * 16 +: 16];
  // Forwarding into execute: the result in ex_* is newer than what decode read.
  wire [15:0] a = (ex_valid && ex_rd == de_rs1) ? ex_value : de_a;
  wire [15:0] b = (ex_valid && ex_rd == de_rs2) ? ex_value : de_b;
  reg [15:0] y;
  always @* begin
    case (de_op)
      3'd0: y = a + b;
      3'd1: y = a - b;
      3'd2: y = a & b;
      3'd3: y = a | b;
      3'd4: y = a ^ b;
      3'd5: y = a << de_imm;
      3'd6: y = a >> de_imm;
      default: y = {6'd0, de_rs1, de_rs2, de_imm};
    endcase
  end
  always @(posedge clk) begin
    if (rst) begin
      regs <= 128'd0;
      {de_op, de_rd, de_rs1, de_rs2, de_imm, de_a, de_b, de_valid} <= 0;
      {ex_value, ex_rd, ex_valid} <= 0;
    end else begin
      if (ex_valid) regs[ex_rd * 16 +: 16] <= ex_value;
      de_op <= instr[15:13];
      de_rd <= instr[12:10];
      de_rs1 <= rs1;
      de_rs2 <= rs2;
      de_imm <= instr[3:0];
      de_a <= read1;
      de_b <= read2;
      de_valid <= 1'b1;
      ex_value <= y;
      ex_rd <= de_rd;
      ex_valid <= de_valid;
    end
  end
  assign alu = y;
  assign wb_value = ex_value;
  assign wb_rd = ex_rd;
  assign wb_valid = ex_valid;
  assign peeked = regs[peek * 16 +: 16];
endmodule
