// 400 clock cycles of random writes and reads; the bus floats whenever oe is low. A register
// read before its first write is unknown, and so not expected. Each edge its own line.
module regfile_tb;
  reg        clk = 0, we = 0, oe = 0;
  reg  [1:0] waddr = 0, raddr = 0;
  reg  [7:0] wdata = 0;
  wire [7:0] bus;
  integer    seed = 4, i;

  regfile dut (.clk(clk), .we(we), .waddr(waddr), .wdata(wdata), .oe(oe), .raddr(raddr), .bus(bus));

  initial begin
    for (i = 0; i < 400; i = i + 1) begin
      clk = 0;
      we = $random(seed); waddr = $random(seed); wdata = $random(seed);
      oe = {$random(seed)} % 4 != 0; raddr = $random(seed);
      #1 $display("VEC clk:=0 we:=%0d waddr:=%0d wdata:=%0d oe:=%0d raddr:=%0d  bus=0b%b",
                  we, waddr, wdata, oe, raddr, bus);
      clk = 1;
      #1 $display("VEC clk:=1  bus=0b%b", bus);
    end
    $finish;
  end
endmodule
