// The first four rounds of the SHA-256 compression function, combinational: the working
// variables a..h (state, a in the top word) and the first four words of a message block (block,
// word 0 in the low bits) in, the variables after round 3 out. The first 16 rounds take the
// block's words themselves as their schedule words, so no message expansion is needed. Each
// round's adders feed the next, and the carries rippling through them make the deepest logic
// of the designs here, with many transitions before the outputs settle.
// peer.sh: --period 1600
module sha256(input [255:0] state, input [127:0] block, output [255:0] out);
  function [31:0] rotr(input [31:0] x, input integer n);
    rotr = (x >> n) | (x << (32 - n));
  endfunction
  function [255:0] round(input [255:0] s, input [31:0] k, input [31:0] wi);
    reg [31:0] a, b, c, d, e, f, g, h, t1, t2;
    begin
      {a, b, c, d, e, f, g, h} = s;
      t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k + wi;
      t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      round = {t1 + t2, a, b, c, d + t1, e, f, g};
    end
  endfunction
  localparam ROUNDS = 4;
  localparam [127:0] K = {32'he9b5dba5, 32'hb5c0fbcf, 32'h71374491, 32'h428a2f98};
  wire [255:0] s [0:ROUNDS];
  assign s[0] = state;
  genvar r;
  generate
    for (r = 0; r < ROUNDS; r = r + 1) begin : rounds
      assign s[r + 1] = round(s[r], K[32 * r +: 32], block[32 * r +: 32]);
    end
  endgenerate
  assign out = s[ROUNDS];
endmodule
