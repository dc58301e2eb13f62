// Four 8-bit registers with one write port and a read bus that each register drives through
// tri-state buffers of its own: the bus floats (z) while oe is low.
module regfile (
  input        clk,
  input        we,
  input  [1:0] waddr,
  input  [7:0] wdata,
  input        oe,
  input  [1:0] raddr,
  output [7:0] bus
);
  reg [7:0] r0, r1, r2, r3;

  always @(posedge clk)
    if (we)
      case (waddr)
        2'd0: r0 <= wdata;
        2'd1: r1 <= wdata;
        2'd2: r2 <= wdata;
        2'd3: r3 <= wdata;
      endcase

  assign bus = (oe && raddr == 2'd0) ? r0 : 8'bz;
  assign bus = (oe && raddr == 2'd1) ? r1 : 8'bz;
  assign bus = (oe && raddr == 2'd2) ? r2 : 8'bz;
  assign bus = (oe && raddr == 2'd3) ? r3 : 8'bz;
endmodule
