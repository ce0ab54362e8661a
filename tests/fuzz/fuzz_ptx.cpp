// PTX scans: every scan's header and points, read one point at a time and,
// for the same text, in blocks parsed apart from the reader (as the
// publisher's workers do).
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "publish/PtxReader.h"

namespace {

void ReadPointByPoint(const std::string& text) {
    std::istringstream in(text);
    publish::PtxReader reader(in, "fuzz.ptx");
    publish::PtxScanHeader header;
    for (int scans = 0; scans < 8 && reader.NextScan(header); ++scans) {
        publish::IsRigidTransform(header.matrix);
        publish::PtxPoint point;
        while (reader.NextPoint(point)) {
        }
        if (!reader.Error().empty()) {
            return;
        }
    }
}

void ReadInBlocks(const std::string& text) {
    std::istringstream in(text);
    publish::PtxReader reader(in, "fuzz.ptx");
    publish::PtxScanHeader header;
    for (int scans = 0; scans < 8 && reader.NextScan(header); ++scans) {
        publish::PtxPointBlock block;
        std::vector<publish::PtxPoint> points;
        while (reader.ReadPointBlock(7, block)) {
            int fields = 0;
            std::string error;
            if (!publish::ParsePointBlock(block, reader.Name(), points, fields, &error) ||
                !reader.CheckFields(block, fields)) {
                return;
            }
        }
        if (!reader.Error().empty()) {
            return;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ReadPointByPoint(text);
    ReadInBlocks(text);
    return 0;
}
