#include "works/works_line.h"

#include "common/errors.h"

namespace tavo {

Bytes encodeWorksLine(const WorksLine& line) {
    Bytes record(WorksLine::kSize, 0);
    writeFixed(record, WorksLine::kDateOffset, WorksLine::kDateCapacity, line.date);
    writeFixed(record, WorksLine::kTypeOffset, WorksLine::kTypeCapacity, line.type);
    writeFixed(record, WorksLine::kCommentOffset, WorksLine::kCommentCapacity, line.comment);
    return record;
}

WorksLine decodeWorksLine(std::span<const std::uint8_t> record) {
    if (record.size() < WorksLine::kSize)
        throw ConversionError("works line shorter than " + std::to_string(WorksLine::kSize) +
                              " bytes");
    return {readFixed(record, WorksLine::kDateOffset, WorksLine::kDateCapacity),
            readFixed(record, WorksLine::kTypeOffset, WorksLine::kTypeCapacity),
            readFixed(record, WorksLine::kCommentOffset, WorksLine::kCommentCapacity)};
}

}  // namespace tavo
