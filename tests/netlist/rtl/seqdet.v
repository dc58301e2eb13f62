// A Moore machine that recognises the bit sequence 1011 on `in`, overlaps included
// (1011011 is found twice): `found` is high for the cycle after the fourth bit has been clocked in.
// rst returns it to the start on a rising clock edge.
module seqdet (
  input  clk,
  input  rst,
  input  in,
  output found
);
  localparam IDLE = 3'd0, GOT1 = 3'd1, GOT10 = 3'd2, GOT101 = 3'd3, GOT1011 = 3'd4;
  reg [2:0] state, next;

  always @(*)
    case (state)
      IDLE:    next = in ? GOT1 : IDLE;
      GOT1:    next = in ? GOT1 : GOT10;
      GOT10:   next = in ? GOT101 : IDLE;
      GOT101:  next = in ? GOT1011 : GOT10;
      GOT1011: next = in ? GOT1 : GOT10;
      default: next = IDLE;
    endcase

  always @(posedge clk)
    state <= rst ? IDLE : next;

  assign found = state == GOT1011;
endmodule
