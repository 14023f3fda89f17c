#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace vx::tags {

// The header object of a Windows Media (ASF) file holds every tag of it. A tag parser trusts the record
// counts it finds there and reads on for each missing record, so a damaged header of a few hundred bytes
// could keep it busy for seconds; it is checked here first and handed over only when sound.

// The size that the header object at the start of a file states, or 0 when the start is no header.
quint64 asfHeaderSize(const QByteArray& start);

// The header object (the first asfHeaderSize() bytes of the file) when every object in it lies inside its
// parent and every list of records in the objects that hold tags fits the bytes that hold it; nothing
// otherwise. The copy returned states the number of objects it really holds, so a parser never reads
// past it.
std::optional<QByteArray> checkedAsfHeader(QByteArray header);

}  // namespace vx::tags
