// TextDigest: a quick digest of a text, to know at once whether a file still holds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tarnwick {

// Four lanes of eight bytes a step, each word mixed in by a multiply and a rotation, so that it costs a
// save little beside making the text; the words are read little-endian on every machine, as records on
// files keep digests. Not meant to stand against texts made to collide.
std::uint64_t digestOf(std::string_view text);

// A text in blocks, each digested on its own, as records on files name it: so that a cut of the text (its
// start) is known by the blocks it holds whole. At most 16 blocks, so that a record stays small whatever the
// text, of at least 64 bytes, so that a small text is compared in blocks of a few lines.
std::size_t digestBlockFor(std::uint64_t size);
std::vector<std::uint64_t> blockDigestsOf(std::string_view text);
// The digest of a whole text made from its size and its blocks' digests, so that a text digested by blocks
// for a record is not walked again to be known whole. wholeDigestOf(text) folds blockDigestsOf(text).
std::uint64_t foldedDigest(std::uint64_t size, std::span<const std::uint64_t> blocks);
std::uint64_t wholeDigestOf(std::string_view text);

}   // namespace tarnwick
