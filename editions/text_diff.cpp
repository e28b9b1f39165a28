#include "editions/text_diff.h"

#include "catalog/visible_text.h"
#include "core/sjis.h"

#include <algorithm>

namespace velto {

namespace {

// Beyond this many edits the middle of two texts is taken as replaced whole:
// the trace of the diff grows with the square of the edits.
constexpr int kEditLimit = 1500;
// An unchanged run shorter than this between two changes is underlined with
// them, so that a rewritten phrase reads as one passage, not as fragments.
constexpr std::size_t kShortestSameRun = 2;

struct Character {
    char32_t code;
    std::size_t begin; // byte offset in the text
    std::size_t end;
};

std::vector<Character> characters(std::string_view text)
{
    std::vector<Character> out;
    out.reserve(text.size() / 2);
    for (std::size_t pos = 0; pos < text.size();) {
        Utf8Char c = utf8_decode_at(text, pos);
        // Invalid bytes stay apart from each other and from every character.
        if (c.bytes == 1 && c.code == 0xFFFD)
            c.code = 0x110000 | static_cast<unsigned char>(text[pos]);
        out.push_back({c.code, pos, pos + c.bytes});
        pos += c.bytes;
    }
    return out;
}

// The characters that are not blanks.
std::vector<Character> words_of(std::string_view text)
{
    std::vector<Character> all = characters(text);
    std::erase_if(all, [](const Character& c) { return is_blank(c.code); });
    return all;
}

// Marks in `a_changed` and `b_changed` the characters of a[a0, a1) and
// b[b0, b1) that a shortest edit script removes or adds.
void mark_edits(const std::vector<Character>& a, const std::vector<Character>& b, std::vector<bool>& a_changed,
                std::vector<bool>& b_changed)
{
    std::size_t a0 = 0, b0 = 0, a1 = a.size(), b1 = b.size();
    while (a0 < a1 && b0 < b1 && a[a0].code == b[b0].code)
        ++a0, ++b0;
    while (a1 > a0 && b1 > b0 && a[a1 - 1].code == b[b1 - 1].code)
        --a1, --b1;
    const int n = static_cast<int>(a1 - a0), m = static_cast<int>(b1 - b0);
    const auto mark_all = [&] {
        std::fill(a_changed.begin() + a0, a_changed.begin() + a1, true);
        std::fill(b_changed.begin() + b0, b_changed.begin() + b1, true);
    };
    if (n == 0 || m == 0) {
        mark_all();
        return;
    }
    const int max = std::min(n + m, kEditLimit);
    const int offset = max + 1;
    std::vector<int> v(2 * max + 3, 0);
    std::vector<std::vector<int>> trace;
    int found = -1;
    for (int d = 0; d <= max && found < 0; ++d) {
        trace.emplace_back(v.begin() + offset - d - 1, v.begin() + offset + d + 2);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                                    : v[offset + k - 1] + 1;
            int y = x - k;
            while (x < n && y < m && a[a0 + x].code == b[b0 + y].code)
                ++x, ++y;
            v[offset + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) {
        mark_all();
        return;
    }
    // Back through the trace: each step is one removal or one addition.
    int x = n, y = m;
    for (int d = found; d > 0; --d) {
        const std::vector<int>& prev = trace[d]; // the values before step d, for k in [-d-1, d+1]
        const auto at = [&](int k) { return prev[k + d + 1]; };
        const int k = x - y;
        const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
        const int prev_k = down ? k + 1 : k - 1;
        const int prev_x = at(prev_k);
        const int prev_y = prev_x - prev_k;
        while (x > prev_x && y > prev_y)
            --x, --y;
        if (down)
            b_changed[b0 + prev_y] = true;
        else
            a_changed[a0 + prev_x] = true;
        x = prev_x;
        y = prev_y;
    }
}

// Unchanged runs shorter than kShortestSameRun between changes on both sides
// become changed on both.
void join_short_runs(std::vector<bool>& a_changed, std::vector<bool>& b_changed)
{
    std::size_t i = 0, j = 0;
    const std::size_t n = a_changed.size(), m = b_changed.size();
    bool after_change = false;
    while (i < n || j < m) {
        if ((i < n && a_changed[i]) || (j < m && b_changed[j])) {
            while (i < n && a_changed[i])
                ++i;
            while (j < m && b_changed[j])
                ++j;
            after_change = true;
            continue;
        }
        std::size_t run = 0;
        while (i + run < n && j + run < m && !a_changed[i + run] && !b_changed[j + run])
            ++run;
        if (run == 0)
            break;
        const bool before_change = (i + run < n && a_changed[i + run]) || (j + run < m && b_changed[j + run]);
        if (after_change && before_change && run < kShortestSameRun) {
            std::fill(a_changed.begin() + i, a_changed.begin() + i + run, true);
            std::fill(b_changed.begin() + j, b_changed.begin() + j + run, true);
        }
        i += run;
        j += run;
        after_change = false;
    }
}

// The spans of `text`: a blank is underlined when the words on both sides of it are.
MarkedText spans_of(std::string_view text, const std::vector<Character>& words, const std::vector<bool>& changed)
{
    std::vector<bool> flag(text.size() + 1, false);
    std::size_t w = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        while (w < words.size() && words[w].end <= pos)
            ++w;
        if (w < words.size() && words[w].begin == pos) {
            for (std::size_t b = words[w].begin; b < words[w].end; ++b)
                flag[b] = changed[w];
            pos = words[w].end;
        } else {
            const bool around = w > 0 && w < words.size() && changed[w - 1] && changed[w];
            flag[pos] = around;
            ++pos;
        }
    }
    MarkedText out;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (out.empty() || out.back().changed != flag[pos])
            out.push_back({std::string(), flag[pos]});
        out.back().text += text[pos];
    }
    return out;
}

} // namespace

TextDiff diff_text(std::string_view older, std::string_view newer)
{
    const std::vector<Character> a = words_of(older);
    const std::vector<Character> b = words_of(newer);
    std::vector<bool> a_changed(a.size(), false), b_changed(b.size(), false);
    mark_edits(a, b, a_changed, b_changed);
    join_short_runs(a_changed, b_changed);
    TextDiff diff;
    diff.same = std::none_of(a_changed.begin(), a_changed.end(), [](bool c) { return c; }) &&
                std::none_of(b_changed.begin(), b_changed.end(), [](bool c) { return c; });
    diff.older = spans_of(older, a, a_changed);
    diff.newer = spans_of(newer, b, b_changed);
    return diff;
}

std::string without_blanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const Character& c : words_of(text))
        out.append(text.substr(c.begin, c.end - c.begin));
    return out;
}

std::vector<std::uint64_t> bigrams(std::string_view text)
{
    const std::vector<Character> words = words_of(text);
    std::vector<std::uint64_t> out;
    if (words.size() < 2)
        return out;
    out.reserve(words.size() - 1);
    for (std::size_t i = 0; i + 1 < words.size(); ++i)
        out.push_back((static_cast<std::uint64_t>(words[i].code) << 32) | words[i + 1].code);
    std::sort(out.begin(), out.end());
    return out;
}

double similarity(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b)
{
    if (a.empty() && b.empty())
        return 1.0;
    std::size_t shared = 0;
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] == b[j])
            ++shared, ++i, ++j;
        else if (a[i] < b[j])
            ++i;
        else
            ++j;
    }
    return 2.0 * static_cast<double>(shared) / static_cast<double>(a.size() + b.size());
}

namespace {

constexpr std::size_t kSketchSize = 64;

std::uint64_t mix(std::uint64_t x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

} // namespace

std::vector<std::uint64_t> sketch(const std::vector<std::uint64_t>& grams)
{
    std::vector<std::uint64_t> hashes;
    hashes.reserve(grams.size());
    for (std::size_t i = 0; i < grams.size(); ++i)
        if (i == 0 || grams[i] != grams[i - 1])
            hashes.push_back(mix(grams[i]));
    const std::size_t keep = std::min(kSketchSize, hashes.size());
    std::partial_sort(hashes.begin(), hashes.begin() + static_cast<std::ptrdiff_t>(keep), hashes.end());
    hashes.resize(keep);
    return hashes;
}

double estimated_overlap(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b)
{
    if (a.empty() || b.empty())
        return a.empty() && b.empty() ? 1.0 : 0.0;
    // The least hashes of the union, and how many of them both sketches hold.
    std::size_t i = 0, j = 0, taken = 0, shared = 0;
    const std::size_t k = std::max(a.size(), b.size());
    while (taken < k && (i < a.size() || j < b.size())) {
        if (j >= b.size() || (i < a.size() && a[i] < b[j])) {
            ++i;
        } else if (i >= a.size() || b[j] < a[i]) {
            ++j;
        } else {
            ++shared, ++i, ++j;
        }
        ++taken;
    }
    return static_cast<double>(shared) / static_cast<double>(taken);
}

} // namespace velto
