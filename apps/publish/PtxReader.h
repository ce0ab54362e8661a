#pragma once
// Reads structured scans in the PTX text format, one line at a time, from
// any std::istream. Per scan: the number of columns, the number of rows, the
// scanner's registered position (3 numbers), its three registered axes (3
// lines of 3), the 4 x 4 registration matrix (4 lines of 4), then one line per
// grid point, column after column: "x y z intensity" or
// "x y z intensity r g b". A point of 0 0 0 is a direction without a return.
// Several scans may follow one another; blank lines between scans are
// skipped.
//
// The points are in the scanner's frame; the site position of a point p is
// the row vector (p 1) times the matrix, whose last row holds the
// translation. The reader checks that the matrix is a rotation and a
// translation. Numbers are parsed with std::from_chars. Every error is one
// line "NAME:LINE: message", NAME as given to the constructor.

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace publish {

struct PtxScanHeader {
    long long columns = 0;
    long long rows = 0;
    std::array<double, 3> position{};
    std::array<std::array<double, 3>, 3> axes{};
    std::array<std::array<double, 4>, 4> matrix{};  // as in the file: matrix[row][column]
    long long line = 0;                             // line of the column count
};

struct PtxPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double intensity = 0.0;
    std::uint8_t r = 0, g = 0, b = 0;
    bool hasColour = false;
    bool measured = false;  // false for 0 0 0
};

// Whole point lines of a scan, copied out of the reader so that other threads
// can parse them while it reads on.
struct PtxPointBlock {
    std::string text;         // lines, each ended by '\n'
    long long firstLine = 0;  // the line number of the first
    long long count = 0;      // the number of lines
};

class PtxReader {
  public:
    PtxReader(std::istream& in, std::string name);

    // Reads the next scan's header. False at the end of the input (Error()
    // empty) or on bad input (Error() says why). The previous scan must have
    // been read to its end.
    bool NextScan(PtxScanHeader& header);
    // Reads the next point of the current scan; false on bad input, or when
    // the scan has no point left (without an error).
    bool NextPoint(PtxPoint& point);

    // Copies the next point lines of the current scan, up to maxPoints; false
    // on bad input (a truncated scan) or when the scan has no point left.
    bool ReadPointBlock(long long maxPoints, PtxPointBlock& block);
    // The numbers per point of the scan's first point (4 or 7; 0 before).
    int FieldsPerPoint() const { return fieldsPerPoint_; }
    // Checks a block's points against the scan's first point, as NextPoint
    // does; false with the error set.
    bool CheckFields(const PtxPointBlock& block, int blockFields);

    long long PointsLeft() const { return pointsLeft_; }
    const std::string& Error() const { return error_; }
    long long Line() const { return line_; }
    const std::string& Name() const { return name_; }
    std::uint64_t BytesRead() const { return bytesRead_; }

  private:
    // The next line without its end; false at the end of the input.
    bool ReadLine(std::string_view& line);
    bool Fail(long long line, const std::string& message);
    bool ReadNumbers(std::string_view what, double* out, int count);

    std::istream& in_;
    std::string name_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // unread bytes are buffer_[begin_, end_)
    std::size_t end_ = 0;
    bool eof_ = false;
    long long line_ = 0;
    std::uint64_t bytesRead_ = 0;
    long long pointsLeft_ = 0;
    long long pointCount_ = 0;
    int fieldsPerPoint_ = 0;  // 4 or 7 once the scan's first point is read
    std::string error_;
};

// Parses a block's points (any thread). blockFields receives the numbers per
// point of its first line; every other line must have as many. False with
// "NAME:LINE: message" in *error.
bool ParsePointBlock(const PtxPointBlock& block, const std::string& name,
                     std::vector<PtxPoint>& points, int& blockFields, std::string* error);

// Whether the upper 3 x 3 of a PTX matrix is a rotation (orthonormal rows,
// determinant +1, within 1e-4) and its last column is 0 0 0 1.
bool IsRigidTransform(const std::array<std::array<double, 4>, 4>& m);

}  // namespace publish
