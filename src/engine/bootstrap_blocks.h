#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace quelvaris {

// A stretch of consecutive rows of the record.
struct Block {
  std::int64_t start = 0;
  std::int64_t length = 0;
};

// How a resample is put together: `draws` blocks drawn with replacement from `candidates`, laid
// end to end and cut to `rows` rows. Each candidate belongs to one jackknife group (0 ..
// groups - 1): the jackknife-after-bootstrap leaves out, in turn, the resamples that drew
// anything from a group.
struct BlockPlan {
  std::int64_t rows = 0;          // of the record; a resample has as many
  std::int64_t block_length = 0;  // of moving blocks; 0 for blocks of their own lengths
  std::vector<Block> candidates;
  std::vector<int> group;  // of each candidate
  int groups = 0;
  int draws = 0;

  // A resample of fewer than 2 blocks is the record itself, or one stretch of it: no interval.
  bool Resamples() const { return draws >= 2 && candidates.size() >= 2; }
};

// The block length when none is given: the cube root of the row count, rounded, at least 1.
// Hall, Horowitz and Jing (1995, Biometrika 82, 561-574) show that the error of a block
// bootstrap's variance, so of its standard errors, is smallest with blocks that grow as the cube
// root of the record's length; the ends of an interval would take somewhat shorter ones.
std::int64_t DefaultBlockLength(std::int64_t rows);

// The moving blocks of Künsch (1989): every stretch of `length` rows that lies within the record
// (rows - length + 1 of them), drawn ceil(rows / length) times. A jackknife group is each run of
// `length` consecutive starts. 1 <= length <= rows.
BlockPlan MovingBlocks(std::int64_t rows, std::int64_t length);

// Blocks that tile the record, each starting at one of `starts` (ascending, the first 0, each
// within the record) and running to the next start or the end: whole years of a record with a
// time column. A resample draws as many blocks as there are, each block its own jackknife group.
BlockPlan WholeBlocks(std::int64_t rows, const std::vector<std::int64_t>& starts);

// The generator of resample r (0-based) under `seed`: std::mt19937_64 seeded through
// std::seed_seq with the four 32-bit words seed low, seed high, r low, r high. Both are fixed by
// the C++ standard word for word, so a seed gives the same resamples on every machine, library
// and thread count.
std::mt19937_64 ResampleGenerator(std::uint64_t seed, std::uint64_t resample);

// A whole number uniform on 0 .. bound - 1 (bound >= 1): a draw of the generator below the
// largest multiple of bound is taken modulo bound, any other is drawn again. (The library's own
// uniform_int_distribution is free to differ between libraries.)
std::uint64_t UniformBelow(std::mt19937_64& gen, std::uint64_t bound);

// The candidates a resample draws, in the order they are laid down.
void DrawBlocks(const BlockPlan& plan, std::mt19937_64& gen, std::vector<int>& chosen);

}  // namespace quelvaris
