#pragma once
// A data set read from a station description written into a folder of its
// own, and the pieces of such descriptions the tests write.
#include <cstdio>
#include <string>

#include "host/Resources.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "support/TempDir.h"

namespace testsupport {

struct DescriptionStation {
    TempDir dir;
    host::Resources resources;
    SX_PanoramaDataSet dataSet{resources};
    DescriptionStation() { dataSet.Initialise(); }

    std::u16string Path() const { return U(dir / "station.xml"); }
    // Writes the description and reads it (the description, not the tiles).
    bool Load(const std::string& xml) {
        dir.Write("station.xml", xml);
        SX_LoadingContext context(Path());
        bool done = false;
        return dataSet.LoadPhase1(context, Path(), done);
    }
};

inline std::string Meta(const std::string& body) {
    return "<Qvscan:CubeMap xmlns:Qvscan=\"urn:panora:qvscan\">" + body + "</Qvscan:CubeMap>";
}

inline std::string Neighbor(const char* name, double x, double y, double z) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer,
                  "<Qvscan:Neighbor Name=\"%s\" URL=\"%s.xml\" X=\"%g\" Y=\"%g\" Z=\"%g\"/>", name,
                  name, x, y, z);
    return buffer;
}

}  // namespace testsupport
