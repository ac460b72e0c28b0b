#pragma once

#include <cstdint>

namespace FWK::UTI {

class ArchiveC;

// An object that can be written to and read from an archive. Both return 0 on success or a
// framework result code.
class SerializableI {
public:
    virtual ~SerializableI() = default;
    virtual int32_t writeTo(ArchiveC& rArchive) const = 0;
    virtual int32_t readFrom(ArchiveC& rArchive) = 0;
};

} // namespace FWK::UTI
