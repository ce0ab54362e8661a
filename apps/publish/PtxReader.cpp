#include "publish/PtxReader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace publish {

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kMaxLine = 4096;
constexpr long long kMaxSide = 1000000;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// Splits off the next whitespace-separated field; empty at the end.
std::string_view NextField(std::string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsSpace(rest[i])) {
        ++i;
    }
    std::size_t j = i;
    while (j < rest.size() && !IsSpace(rest[j])) {
        ++j;
    }
    const std::string_view field = rest.substr(i, j - i);
    rest.remove_prefix(j);
    return field;
}

bool ParseDouble(std::string_view field, double& out) {
    const char* first = field.data();
    if (!field.empty() && field[0] == '+') {
        ++first;  // from_chars does not take a leading plus
    }
    const auto r = std::from_chars(first, field.data() + field.size(), out);
    return r.ec == std::errc() && r.ptr == field.data() + field.size() && std::isfinite(out);
}

std::string Quoted(std::string_view field) {
    std::string s(field.substr(0, 40));
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) {
            c = '?';
        }
    }
    return "'" + s + (field.size() > 40 ? "...'" : "'");
}

bool Blank(std::string_view line) {
    for (char c : line) {
        if (!IsSpace(c)) {
            return false;
        }
    }
    return true;
}

// The number of '\n' in [p, end), eight bytes at a time.
long long CountNewlines(const char* p, const char* end) {
    constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fULL;
    constexpr std::uint64_t kNewlines = 0x0a0a0a0a0a0a0a0aULL;
    long long n = 0;
    for (; end - p >= 8; p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        w ^= kNewlines;  // a zero byte where a newline was
        // The high bit of each zero byte, exactly (no carries between bytes).
        const std::uint64_t high = ~(((w & kLow7) + kLow7) | w | kLow7);
        n += static_cast<long long>(((high >> 7) * 0x0101010101010101ULL) >> 56);
    }
    for (; p < end; ++p) {
        n += *p == '\n';
    }
    return n;
}

}  // namespace

bool IsRigidTransform(const std::array<std::array<double, 4>, 4>& m) {
    constexpr double kTolerance = 1e-4;
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(m[i][3]) > kTolerance) {
            return false;
        }
        for (int j = 0; j < 3; ++j) {
            const double dot = m[i][0] * m[j][0] + m[i][1] * m[j][1] + m[i][2] * m[j][2];
            if (std::fabs(dot - (i == j ? 1.0 : 0.0)) > kTolerance) {
                return false;
            }
        }
    }
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    return std::fabs(det - 1.0) <= kTolerance && std::fabs(m[3][3] - 1.0) <= kTolerance;
}

PtxReader::PtxReader(std::istream& in, std::string name)
    : in_(in), name_(std::move(name)), buffer_(kChunk) {}

bool PtxReader::Fail(long long line, const std::string& message) {
    error_ = name_ + ":" + std::to_string(line) + ": " + message;
    return false;
}

bool PtxReader::ReadLine(std::string_view& line) {
    while (true) {
        const char* start = buffer_.data() + begin_;
        const void* nl = std::memchr(start, '\n', end_ - begin_);
        if (nl != nullptr) {
            const std::size_t len = static_cast<const char*>(nl) - start;
            line = std::string_view(start, len);
            begin_ += len + 1;
            bytesRead_ += len + 1;
            ++line_;
            return true;
        }
        if (eof_) {
            if (begin_ == end_) {
                return false;
            }
            line = std::string_view(start, end_ - begin_);  // the last line has no end
            bytesRead_ += end_ - begin_;
            begin_ = end_;
            ++line_;
            return true;
        }
        if (end_ - begin_ > kMaxLine) {
            ++line_;
            Fail(line_, "a line longer than " + std::to_string(kMaxLine) + " characters");
            eof_ = true;
            begin_ = end_;
            return false;
        }
        // Keep the partial line, fill the rest of the buffer.
        std::memmove(buffer_.data(), start, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
        const auto got = in_.gcount();
        end_ += static_cast<std::size_t>(got);
        if (got == 0 || !in_) {
            eof_ = !in_ || got == 0;
        }
    }
}

bool PtxReader::ReadNumbers(std::string_view what, double* out, int count) {
    std::string_view line;
    if (!ReadLine(line)) {
        return error_.empty()
                   ? Fail(line_ + 1, "the file ends where " + std::string(what) + " should follow")
                   : false;
    }
    std::string_view rest = line;
    for (int k = 0; k < count; ++k) {
        const std::string_view field = NextField(rest);
        if (field.empty()) {
            return Fail(line_, std::string(what) + ": expected " + std::to_string(count) +
                                   " numbers, got " + std::to_string(k));
        }
        if (!ParseDouble(field, out[k])) {
            return Fail(line_, std::string(what) + ": " + Quoted(field) + " is not a number");
        }
    }
    if (!NextField(rest).empty()) {
        return Fail(line_, std::string(what) + ": more than " + std::to_string(count) + " numbers");
    }
    return true;
}

bool PtxReader::NextScan(PtxScanHeader& header) {
    if (!error_.empty()) {
        return false;
    }
    if (pointsLeft_ > 0) {
        return Fail(line_, "the scan's points were not all read");
    }
    std::string_view line;
    do {
        if (!ReadLine(line)) {
            return false;  // the end of the input, or the error of ReadLine
        }
    } while (Blank(line));

    header = PtxScanHeader{};
    header.line = line_;
    long long counts[2] = {0, 0};
    const char* names[2] = {"the number of columns", "the number of rows"};
    for (int k = 0; k < 2; ++k) {
        if (k == 1 && !ReadLine(line)) {
            return error_.empty() ? Fail(line_ + 1, "the file ends where " + std::string(names[1]) +
                                                        " should follow")
                                  : false;
        }
        std::string_view rest = line;
        const std::string_view field = NextField(rest);
        const auto r = std::from_chars(field.data(), field.data() + field.size(), counts[k]);
        if (field.empty() || r.ec != std::errc() || r.ptr != field.data() + field.size() ||
            !NextField(rest).empty()) {
            return Fail(line_, std::string(names[k]) + ": expected a whole number, got " +
                                   Quoted(Blank(line) ? std::string_view() : line));
        }
        if (counts[k] < 1 || counts[k] > kMaxSide) {
            return Fail(line_, std::string(names[k]) + " must be from 1 to " +
                                   std::to_string(kMaxSide) + ", got " + std::to_string(counts[k]));
        }
    }
    header.columns = counts[0];
    header.rows = counts[1];
    if (!ReadNumbers("the scanner position", header.position.data(), 3)) {
        return false;
    }
    for (int k = 0; k < 3; ++k) {
        if (!ReadNumbers("a scanner axis", header.axes[k].data(), 3)) {
            return false;
        }
    }
    const long long matrixLine = line_ + 1;
    for (int k = 0; k < 4; ++k) {
        if (!ReadNumbers("a row of the transformation matrix", header.matrix[k].data(), 4)) {
            return false;
        }
    }
    if (!IsRigidTransform(header.matrix)) {
        return Fail(matrixLine,
                    "the transformation matrix is not a rotation followed by a translation");
    }
    pointCount_ = pointsLeft_ = header.columns * header.rows;
    fieldsPerPoint_ = 0;
    return true;
}

namespace {

// A plain decimal "[-]digits[.digits]" of at most 15 digits, followed by a
// space or the line's end: its digits as a whole number are exact in a
// double, as is the power of ten, so one division gives the correctly
// rounded value, the same as from_chars. Anything else (exponents, a plus,
// long mantissas, words) returns nullptr and goes to from_chars.
const char* ParsePlainDecimal(const char* c, const char* end, double& out) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = *c == '-';
    const char* p = c + static_cast<int>(negative);
    std::uint64_t m = 0;
    int digits = 0;
    while (p < end && static_cast<unsigned>(*p - '0') < 10u) {
        m = m * 10 + static_cast<unsigned>(*p - '0');
        ++p;
        ++digits;
    }
    if (digits == 0) {
        return nullptr;
    }
    int fraction = 0;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && static_cast<unsigned>(*p - '0') < 10u) {
            m = m * 10 + static_cast<unsigned>(*p - '0');
            ++p;
            ++fraction;
        }
        digits += fraction;
    }
    if (digits > 15 || (p < end && !IsSpace(*p))) {
        return nullptr;
    }
    // v >= 0: setting the sign bit negates it, without a branch on the
    // sign (which scan coordinates take at random).
    const double whole = static_cast<double>(m);
    const double v = fraction == 0 ? whole : whole / kPow10[fraction];
    out = std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) |
                                (static_cast<std::uint64_t>(negative) << 63));
    return p;
}

// Parses one point line; false with the message (without file and line).
bool ParsePointLine(std::string_view line, PtxPoint& p, int& n, std::string& message) {
    // One pass: from_chars finds each number's end.
    double v[7];
    n = 0;
    const char* c = line.data();
    const char* const end = c + line.size();
    while (true) {
        while (c < end && IsSpace(*c)) {
            ++c;
        }
        if (c == end) {
            break;
        }
        if (n == 7) {
            message = "a point has more than 7 numbers";
            return false;
        }
        const char* start = c;
        if (const char* next = ParsePlainDecimal(c, end, v[n])) {
            c = next;
            ++n;
            continue;
        }
        if (*c == '+' && c + 1 < end && c[1] != '-') {
            ++c;  // from_chars does not take a leading plus
        }
        const auto r = std::from_chars(c, end, v[n]);
        if (r.ec != std::errc() || (r.ptr != end && !IsSpace(*r.ptr)) || !std::isfinite(v[n])) {
            const char* stop = start;
            while (stop < end && !IsSpace(*stop)) {
                ++stop;
            }
            message = Quoted(std::string_view(start, static_cast<std::size_t>(stop - start))) +
                      " is not a number";
            return false;
        }
        c = r.ptr;
        ++n;
    }
    if (n != 4 && n != 7) {
        message = "a point has " + std::to_string(n) +
                  " numbers; expected x y z intensity, and r g b or none";
        return false;
    }
    p.x = v[0];
    p.y = v[1];
    p.z = v[2];
    p.intensity = v[3];
    p.hasColour = n == 7;
    if (p.hasColour) {
        for (int k = 4; k < 7; ++k) {
            if (v[k] < 0.0 || v[k] > 255.0 || v[k] != std::floor(v[k])) {
                message = "a colour component must be a whole number from 0 to 255";
                return false;
            }
        }
        p.r = static_cast<std::uint8_t>(v[4]);
        p.g = static_cast<std::uint8_t>(v[5]);
        p.b = static_cast<std::uint8_t>(v[6]);
    }
    p.measured = !(p.x == 0.0 && p.y == 0.0 && p.z == 0.0);
    return true;
}

std::string FieldsMismatch(int n, int first) {
    return "a point has " + std::to_string(n) + " numbers, the scan's first had " +
           std::to_string(first);
}

}  // namespace

bool PtxReader::NextPoint(PtxPoint& p) {
    if (pointsLeft_ <= 0 || !error_.empty()) {
        return false;
    }
    std::string_view line;
    const long long done = pointCount_ - pointsLeft_;
    if (!ReadLine(line)) {
        return error_.empty()
                   ? Fail(line_ + 1, "the scan ends after " + std::to_string(done) + " of its " +
                                         std::to_string(pointCount_) + " points")
                   : false;
    }
    int n = 0;
    std::string message;
    if (!ParsePointLine(line, p, n, message)) {
        return Fail(line_, message);
    }
    if (fieldsPerPoint_ == 0) {
        fieldsPerPoint_ = n;
    } else if (n != fieldsPerPoint_) {
        return Fail(line_, FieldsMismatch(n, fieldsPerPoint_));
    }
    --pointsLeft_;
    return true;
}

bool PtxReader::ReadPointBlock(long long maxPoints, PtxPointBlock& block) {
    block.text.clear();
    block.text.reserve(static_cast<std::size_t>(std::clamp(maxPoints, 0LL, 1LL << 16)) * 48);
    block.count = 0;
    block.firstLine = line_ + 1;
    if (!error_.empty()) {
        return false;
    }
    std::string_view line;
    while (block.count < maxPoints && pointsLeft_ > 0) {
        // The whole lines already in the buffer go in one copy.
        const long long want = std::min(maxPoints - block.count, pointsLeft_);
        const char* const start = buffer_.data() + begin_;
        const char* const stop = buffer_.data() + end_;
        const char* p = start;
        long long n = CountNewlines(start, stop);
        if (n <= want) {
            if (n > 0) {
                p = static_cast<const char*>(memrchr(start, '\n', end_ - begin_)) + 1;
            }
        } else {
            for (n = 0; n < want; ++n) {
                p = static_cast<const char*>(std::memchr(p, '\n', stop - p)) + 1;
            }
        }
        if (n > 0) {
            const auto bytes = static_cast<std::size_t>(p - start);
            block.text.append(start, bytes);
            begin_ += bytes;
            bytesRead_ += bytes;
            line_ += n;
            block.count += n;
            pointsLeft_ -= n;
            continue;
        }
        // A line that crosses the buffer's end: refill through ReadLine.
        if (!ReadLine(line)) {
            if (error_.empty()) {
                Fail(line_ + 1, "the scan ends after " + std::to_string(pointCount_ - pointsLeft_) +
                                    " of its " + std::to_string(pointCount_) + " points");
            }
            return false;
        }
        block.text.append(line);
        block.text.push_back('\n');
        ++block.count;
        --pointsLeft_;
    }
    return block.count > 0;
}

bool PtxReader::CheckFields(const PtxPointBlock& block, int blockFields) {
    if (fieldsPerPoint_ == 0) {
        fieldsPerPoint_ = blockFields;
    } else if (blockFields != fieldsPerPoint_) {
        return Fail(block.firstLine, FieldsMismatch(blockFields, fieldsPerPoint_));
    }
    return true;
}

bool ParsePointBlock(const PtxPointBlock& block, const std::string& name,
                     std::vector<PtxPoint>& points, int& blockFields, std::string* error) {
    points.resize(static_cast<std::size_t>(block.count));
    blockFields = 0;
    std::string_view rest = block.text;
    std::string message;
    for (long long k = 0; k < block.count; ++k) {
        const std::size_t nl = rest.find('\n');
        const std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl + 1);
        int n = 0;
        if (!ParsePointLine(line, points[static_cast<std::size_t>(k)], n, message)) {
            *error = name + ":" + std::to_string(block.firstLine + k) + ": " + message;
            return false;
        }
        if (blockFields == 0) {
            blockFields = n;
        } else if (n != blockFields) {
            *error = name + ":" + std::to_string(block.firstLine + k) + ": " +
                     FieldsMismatch(n, blockFields);
            return false;
        }
    }
    return true;
}

}  // namespace publish
