// Every kind of flip-flop and latch the netlist readers know, and a tri-state bus, for the check
// of tavrin-peer's Verilog against tavrin-net (peer_check.sh). clk is toggled by the vectors and
// the other inputs change only when it falls, so that nothing changes with a rising edge; what
// is clocked on the falling edge takes its data from flip-flops of the rising edge, and the
// reverse, so that no data changes with the edge that takes it.
// peer.sh: --period 400 --toggle clk
module storage(input clk, input [7:0] d, input [3:0] ctl, output [15:0] q, output [3:0] bus);
  reg [15:0] r;
  // Rising edge, no control: $_DFF_P_.
  always @(posedge clk) r[0] <= d[0];
  // Asynchronous reset to 0 and set to 1: $_DFF_PP0_, $_DFF_PN1_.
  always @(posedge clk or posedge ctl[0]) if (ctl[0]) r[1] <= 1'b0; else r[1] <= d[1];
  always @(posedge clk or negedge ctl[1]) if (!ctl[1]) r[2] <= 1'b1; else r[2] <= d[2];
  // Enables, one with an asynchronous reset: $_DFFE_PP_, $_DFFE_PN0N_.
  always @(posedge clk) if (ctl[2]) r[3] <= d[3];
  always @(posedge clk or negedge ctl[1]) if (!ctl[1]) r[4] <= 1'b0; else if (!ctl[3]) r[4] <= d[4];
  // Synchronous resets, one acting also while disabled, one only while enabled:
  // $_SDFF_PP1_, $_SDFFE_PN0P_, $_SDFFCE_PP0P_.
  always @(posedge clk) if (ctl[0]) r[5] <= 1'b1; else r[5] <= d[5];
  always @(posedge clk) if (!ctl[1]) r[6] <= 1'b0; else if (ctl[2]) r[6] <= d[6];
  always @(posedge clk) if (ctl[2]) begin if (ctl[3]) r[7] <= 1'b0; else r[7] <= d[7]; end
  // Asynchronous set and reset together, reset winning: $_DFFSR_PPP_, $_DFFSRE_PNPP_.
  always @(posedge clk or posedge ctl[0] or posedge ctl[3])
    if (ctl[3]) r[8] <= 1'b0; else if (ctl[0]) r[8] <= 1'b1; else r[8] <= d[0] ^ d[1];
  always @(posedge clk or negedge ctl[1] or posedge ctl[0])
    if (ctl[0]) r[9] <= 1'b0; else if (!ctl[1]) r[9] <= 1'b1; else if (ctl[2]) r[9] <= d[2] ^ d[3];
  // The falling edge, from rising-edge flip-flops: $_DFF_N_, $_DFFE_NP_.
  always @(negedge clk) r[10] <= r[0] ^ r[3];
  always @(negedge clk) if (r[5]) r[11] <= r[6];
  // Latches, each open while its data may change and closed before it does: $_DLATCH_P_ (open
  // while clk is high, the data from the rising edge), $_DLATCH_N_ (open while clk is low, the
  // data from the falling edge), and with a reset and an enable made of gates.
  reg [3:0] l;
  always @* if (clk) l[0] = r[0] & r[1];
  always @* if (!clk) l[1] = r[10];
  always @* if (r[5]) l[2] = 1'b0; else if (clk) l[2] = r[3] | r[4];
  always @* if (clk & r[10]) l[3] = r[5];
  assign q = {l, r[11:0]};
  // A bus of four tri-state buffers, one of them enabled or none.
  assign bus = ctl[1:0] == 2'd0 && ctl[2] ? d[3:0] : 4'bz;
  assign bus = ctl[1:0] == 2'd1 && ctl[2] ? d[7:4] : 4'bz;
  assign bus = ctl[1:0] == 2'd2 && ctl[2] ? r[3:0] : 4'bz;
  assign bus = ctl[1:0] == 2'd3 && ctl[2] ? r[7:4] : 4'bz;
endmodule
