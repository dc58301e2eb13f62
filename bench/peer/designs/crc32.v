// Two CRCs of a 64-bit word, combinational: CRC-32 (the reflected polynomial 0xEDB88320, as
// Ethernet and zip use it) and CRC-32C (0x82F63B78, Castagnoli). crc and crcc are the running
// values before the word (all ones to start a message), next and nextc the values after its 64
// bits, lowest bit first. The bit loops unroll into networks of xors.
// peer.sh: --period 800
module crc32(input [31:0] crc, input [31:0] crcc, input [63:0] data, output [31:0] next,
             output [31:0] nextc);
  function [31:0] step64(input [31:0] c, input [63:0] d, input [31:0] poly);
    integer i;
    reg [31:0] v;
    begin
      v = c;
      for (i = 0; i < 64; i = i + 1)
        v = (v >> 1) ^ ((v[0] ^ d[i]) ? poly : 32'h0);
      step64 = v;
    end
  endfunction
  assign next = step64(crc, data, 32'hEDB88320);
  assign nextc = step64(crcc, data, 32'h82F63B78);
endmodule
