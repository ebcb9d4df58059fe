// position/attacks.cpp: builds the line tables and the magic rook and bishop tables.
// Owns between, ray_through, the magic square records and both attack tables; written
// only by init_line_tables() and init_magics() at start-up.
#include "position/attacks.h"

#include <bit>
#include <cassert>

namespace {

Bitboard    between_table[64][64];
Bitboard    ray_through_table[64][64];
MagicSquare rook_square[64];
MagicSquare bishop_square[64];
int         rook_offset_table[64];
int         bishop_offset_table[64];
Bitboard    rook_attack_table[ROOK_TABLE_SIZE];
Bitboard    bishop_attack_table[BISHOP_TABLE_SIZE];

// The squares from sq along direction d up to the edge of the box lo..hi of files and
// ranks. A box bound is tested only on an axis the direction moves along.
Bitboard ray(int sq, const int (&d)[2], int lo, int hi) {
    Bitboard set = 0;
    for (int f = file_of(sq) + d[0], r = rank_of(sq) + d[1];
         (d[0] == 0 || (f >= lo && f <= hi)) && (d[1] == 0 || (r >= lo && r <= hi));
         f += d[0], r += d[1])
        set |= Bitboard{1} << make_square(f, r);
    return set;
}

void init_magic_piece(const std::uint64_t (&multipliers)[64],
                      const int (&directions)[4][2],
                      MagicSquare (&squares)[64],
                      int (&offsets)[64],
                      Bitboard*            table,
                      [[maybe_unused]] int table_size) {
    // Each square's four rays to the edge. A ray's nearest square is its lowest when the
    // direction raises the square index, else its highest.
    Bitboard rays[64][4];
    bool     rising[4];
    for (int i = 0; i < 4; ++i) {
        rising[i] = directions[i][1] * 8 + directions[i][0] > 0;
        for (int sq = 0; sq < 64; ++sq)
            rays[sq][i] = ray(sq, directions[i], 0, 7);
    }

    int total = 0;
    for (int sq = 0; sq < 64; ++sq) {
        MagicSquare& m = squares[sq];
        offsets[sq]    = total;
        m.mask         = 0;
        for (const auto& d : directions)
            m.mask |= ray(sq, d, 1, 6);
        m.magic_lo     = static_cast<std::uint32_t>(multipliers[sq]);
        m.magic_hi     = static_cast<std::uint32_t>(multipliers[sq] >> 32);
        m.shift        = 32 - popcount(m.mask);
        m.block        = table + total;
        const int size = 1 << (32 - m.shift);
        // Every subset of the mask once, from the empty one: (occ - mask) & mask is the
        // next subset in counting order, and wraps round to the empty one after the mask.
        Bitboard occ = 0;
        do {
            // Each ray runs to its first blocker: the ray beyond the blocker is cut off.
            Bitboard attacks = 0;
            for (int i = 0; i < 4; ++i) {
                Bitboard       reach    = rays[sq][i];
                const Bitboard blockers = reach & occ;
                if (blockers != 0)
                    reach ^=
                        rays[rising[i] ? lsb_index(blockers) : 63 - std::countl_zero(blockers)][i];
                attacks |= reach;
            }
            table[total + magic_index(m, occ)] = attacks;
            occ                                = (occ - m.mask) & m.mask;
        } while (occ != 0);
        total += size;
    }
    assert(total == table_size);
}

}  // namespace

const Bitboard (&between)[64][64]                 = between_table;
const Bitboard (&ray_through)[64][64]             = ray_through_table;
const MagicSquare (&rook_magics)[64]              = rook_square;
const MagicSquare (&bishop_magics)[64]            = bishop_square;
const int (&rook_offset)[64]                      = rook_offset_table;
const int (&bishop_offset)[64]                    = bishop_offset_table;
const Bitboard (&rook_table)[ROOK_TABLE_SIZE]     = rook_attack_table;
const Bitboard (&bishop_table)[BISHOP_TABLE_SIZE] = bishop_attack_table;

// Found by random search for 32-bit-product magics with the smallest possible blocks.
// clang-format off
const std::uint64_t rook_magic[64] = {
0x4002040014010080ull, 0x2A35408628400020ull, 0x1220001480800890ull, 0x0005100020808048ull,
0x0300604640200406ull, 0x60A2008000801506ull, 0x0000830200808002ull, 0x000810C0600800A1ull,
0x1020004000201008ull, 0x1100441801004020ull, 0x0420008090228010ull, 0x6010080011181001ull,
0x0080080081408024ull, 0x08B0020002088004ull, 0x00C4020006010011ull, 0x0880449000008021ull,
0x4824020040008404ull, 0x1024012100404040ull, 0xE004080080420070ull, 0x0104920012040808ull,
0x0080400410000808ull, 0x80540018A8004A02ull, 0x0300042200940101ull, 0x20820A4042000101ull,
0x8004B28090411041ull, 0x1200816051042902ull, 0x0041B1020A0A2001ull, 0x05201A2028804012ull,
0x5008604082A41412ull, 0x020092880024101Eull, 0x1211440200000481ull, 0x29000082180000C3ull,
0x4100800800044013ull, 0x8010080300224484ull, 0x0040100210280062ull, 0x0040084000100C08ull,
0x0020224000240801ull, 0x00404002010C02A5ull, 0x108007000A028022ull, 0x0080108000A02241ull,
0x0640400100800021ull, 0x2000202080100842ull, 0x0108080000630630ull, 0x8010100040020918ull,
0x0800202220456402ull, 0x00920108402A006Cull, 0x100100050009000Aull, 0x100040408101C099ull,
0x008002040000AA02ull, 0x40200040001000CCull, 0x2010410000910020ull, 0x0008004040005804ull,
0x000C402020202201ull, 0x0405402000082082ull, 0x0001808040010402ull, 0x1088A40100020201ull,
0x8041801A10862083ull, 0x0300293510049040ull, 0x0B20491100090820ull, 0x0896446201000842ull,
0xA050180200080522ull, 0xA810058A0280D402ull, 0x0004224110440881ull, 0x0020C02F00008051ull,
};
const std::uint64_t bishop_magic[64] = {
0x0100410480100110ull, 0xA4C4900801040144ull, 0x0601020001482381ull, 0x3408080400C22082ull,
0x0000200000108860ull, 0x4A00004001812808ull, 0x0809820001004411ull, 0x0108220000210C01ull,
0x0289020848000408ull, 0x3204404000000A18ull, 0x0841090000001201ull, 0x0A4042C090604425ull,
0x4009602000014905ull, 0x4404004000000619ull, 0x0903140230000348ull, 0x4101900001000601ull,
0x0411080004551420ull, 0x10008F8000481804ull, 0x0200101024083141ull, 0x8420080020112088ull,
0x2203000001228009ull, 0x2484010001242202ull, 0x2108420004040221ull, 0x2114054804494002ull,
0x0404090040284180ull, 0x0A01840004102400ull, 0x082044C408020100ull, 0x00C4000202B41105ull,
0xC020030080104100ull, 0x04100C9000C06089ull, 0x01140100025C2084ull, 0x482C02C048208100ull,
0x14C81A0621062004ull, 0x20021000080A0210ull, 0x100A480802060201ull, 0x8100808000200208ull,
0x2020441448420101ull, 0x020409000C140092ull, 0x00860A0000029182ull, 0x1000808404008403ull,
0x5000084100022150ull, 0x0220102080290A02ull, 0x0204A06181002308ull, 0x081012200100004Aull,
0x0210010148044001ull, 0x0440020088040A88ull, 0x0600008000208142ull, 0x0300104E008C00C4ull,
0x2004804000250402ull, 0x080C020000083108ull, 0x02901180010400C2ull, 0x0858002000200081ull,
0x020905081020001Bull, 0x2206001100002482ull, 0x4081010200501408ull, 0x22A18300002801C8ull,
0x012440100000B02Cull, 0x08128A8884022022ull, 0x20C1301000400A21ull, 0xA104091018020040ull,
0x21042C0044000000ull, 0x2002222000400020ull, 0x03026200006808A4ull, 0x0C0520460014028Cull,
};
// clang-format on

void init_line_tables() {
    constexpr int directions[8][2] = {{0, 1}, {0, -1},  {1, 0},  {-1, 0},
                                      {1, 1}, {-1, -1}, {-1, 1}, {1, -1}};
    Bitboard      rays[64][8]      = {};
    for (int sq = 0; sq < 64; ++sq)
        for (int d = 0; d < 8; ++d)
            for (int f = file_of(sq) + directions[d][0], r = rank_of(sq) + directions[d][1];
                 f >= 0 && f < 8 && r >= 0 && r < 8; f += directions[d][0], r += directions[d][1])
                rays[sq][d] |= square_bit[make_square(f, r)];
    // The opposite of direction d is d ^ 1: the table lists each direction beside its reverse.
    for (int i = 0; i < 64; ++i)
        for (int j = 0; j < 64; ++j) {
            between_table[i][j]     = 0;
            ray_through_table[i][j] = 0;
            for (int d = 0; d < 8; ++d)
                if (rays[i][d] & square_bit[j]) {
                    ray_through_table[i][j] = rays[i][d];
                    between_table[i][j]     = rays[i][d] & rays[j][d ^ 1];
                }
        }
}

void init_magics() {
    init_magic_piece(rook_magic, rook_directions, rook_square, rook_offset_table, rook_attack_table,
                     ROOK_TABLE_SIZE);
    init_magic_piece(bishop_magic, bishop_directions, bishop_square, bishop_offset_table,
                     bishop_attack_table, BISHOP_TABLE_SIZE);
}
