#include "publish/PtxReader.h"

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
    // The common case without copies: up to 8 fields, parsed in place.
    double v[7];
    int n = 0;
    std::string_view rest = line;
    while (true) {
        const std::string_view field = NextField(rest);
        if (field.empty()) {
            break;
        }
        if (n == 7) {
            return Fail(line_, "a point has more than 7 numbers");
        }
        if (!ParseDouble(field, v[n])) {
            return Fail(line_, Quoted(field) + " is not a number");
        }
        ++n;
    }
    if (n != 4 && n != 7) {
        if (n == 0 && done == 0) {
            return Fail(line_, "an empty line where the scan's first point should be");
        }
        return Fail(line_, "a point has " + std::to_string(n) +
                               " numbers; expected x y z intensity, and r g b or none");
    }
    if (fieldsPerPoint_ == 0) {
        fieldsPerPoint_ = n;
    } else if (n != fieldsPerPoint_) {
        return Fail(line_, "a point has " + std::to_string(n) + " numbers, the scan's first had " +
                               std::to_string(fieldsPerPoint_));
    }
    p.x = v[0];
    p.y = v[1];
    p.z = v[2];
    p.intensity = v[3];
    p.hasColour = n == 7;
    if (p.hasColour) {
        for (int k = 4; k < 7; ++k) {
            if (v[k] < 0.0 || v[k] > 255.0 || v[k] != std::floor(v[k])) {
                return Fail(line_, "a colour component must be a whole number from 0 to 255");
            }
        }
        p.r = static_cast<std::uint8_t>(v[4]);
        p.g = static_cast<std::uint8_t>(v[5]);
        p.b = static_cast<std::uint8_t>(v[6]);
    }
    p.measured = !(p.x == 0.0 && p.y == 0.0 && p.z == 0.0);
    --pointsLeft_;
    return true;
}

}  // namespace publish
