// Which passages of a sentence changed between two editions: a character diff
// (Myers) of the words a reader sees, blanks ignored, so that a changed
// passage inside an unchanged paragraph can be underlined exactly; and how
// alike two texts are, for pairing an article with its renumbered self.
//
// Any UTF-8 text may be passed (invalid bytes count as characters of their
// own). A diff too large to compute exactly within its bound marks the whole
// differing middle as changed: never a passage as unchanged that is not.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

// A run of a text, changed or not.
struct TextSpan {
    std::string text;
    bool changed = false;

    bool operator==(const TextSpan&) const = default;
};
using MarkedText = std::vector<TextSpan>;

struct TextDiff {
    MarkedText older; // the older text, its removed or replaced passages changed
    MarkedText newer; // the newer text, its added or replacing passages changed
    bool same = true; // equal but for blanks
};

TextDiff diff_text(std::string_view older, std::string_view newer);

// The text without its blanks (catalog/visible_text.h: is_blank).
std::string without_blanks(std::string_view text);

// The character pairs of a text, sorted: the fingerprint `similarity` compares.
std::vector<std::uint64_t> bigrams(std::string_view text);

// How alike two fingerprints are: 0 (nothing shared) to 1 (the same pairs).
double similarity(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b);

// A small sample of a fingerprint (the pairs of least hash) from which the
// share of pairs two texts have in common (Jaccard's measure) is estimated
// at a fraction of the cost of `similarity`: for passing over pairs of texts
// that cannot be alike.
std::vector<std::uint64_t> sketch(const std::vector<std::uint64_t>& grams);
double estimated_overlap(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b);

} // namespace velto
