// The first 16 rounds of the SHA-256 compression function, combinational: the working
// variables a..h (state, a in the top word) and a 512-bit message block (block, word 0 in the
// low bits) in, the variables after round 15 out. Rounds 0 to 15 take the block's words
// themselves as their schedule words, so no message expansion is needed.
module sha256(input [255:0] state, input [511:0] block, output [255:0] out);
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
  localparam [511:0] K = {
    32'hc19bf174, 32'h9bdc06a7, 32'h80deb1fe, 32'h72be5d74, 32'h550c7dc3, 32'h243185be, 32'h12835b01, 32'hd807aa98,
    32'hab1c5ed5, 32'h923f82a4, 32'h59f111f1, 32'h3956c25b, 32'he9b5dba5, 32'hb5c0fbcf, 32'h71374491, 32'h428a2f98};
  wire [255:0] s [0:16];
  assign s[0] = state;
  genvar r;
  generate
    for (r = 0; r < 16; r = r + 1) begin : rounds
      assign s[r + 1] = round(s[r], K[32 * r +: 32], block[32 * r +: 32]);
    end
  endgenerate
  assign out = s[16];
endmodule
