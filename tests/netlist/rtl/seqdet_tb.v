// Reset, then 400 clock cycles of random input bits and a rare reset; each edge its own line.
module seqdet_tb;
  reg     clk = 0, rst = 1, in = 0;
  wire    found;
  integer seed = 1011, i;

  seqdet dut (.clk(clk), .rst(rst), .in(in), .found(found));

  initial begin
    // Until the reset edge the state is unknown: nothing is expected.
    #1 $display("VEC clk:=0 rst:=1 in:=0");
    clk = 1;
    #1 $display("VEC clk:=1  found=0b%b", found);
    for (i = 0; i < 400; i = i + 1) begin
      clk = 0;
      rst = {$random(seed)} % 100 == 0;
      in  = $random(seed);
      #1 $display("VEC clk:=0 rst:=%0d in:=%0d  found=0b%b", rst, in, found);
      clk = 1;
      #1 $display("VEC clk:=1  found=0b%b", found);
    end
    $finish;
  end
endmodule
