// Reset, then 600 clock cycles with a random enable (mostly on, so the counter wraps) and a rare
// reset. Each edge is a line of its own; the inputs change with the falling edge.
module counter8_tb;
  reg        clk = 0, rst = 1, en = 0;
  wire [7:0] Q;
  wire       tc;
  integer    seed = 8, i;

  counter8 dut (.clk(clk), .rst(rst), .en(en), .Q(Q), .tc(tc));

  initial begin
    // Until the reset edge the count is unknown: nothing is expected.
    #1 $display("VEC clk:=0 rst:=1 en:=0");
    clk = 1;
    #1 $display("VEC clk:=1  Q=0b%b tc=0b%b", Q, tc);
    for (i = 0; i < 600; i = i + 1) begin
      clk = 0;
      rst = {$random(seed)} % 150 == 0;
      en  = {$random(seed)} % 8 != 0;
      #1 $display("VEC clk:=0 rst:=%0d en:=%0d  Q=0b%b tc=0b%b", rst, en, Q, tc);
      clk = 1;
      #1 $display("VEC clk:=1  Q=0b%b tc=0b%b", Q, tc);
    end
    $finish;
  end
endmodule
