// A folder's hash list (".mhl"), read when a copy is checked or resumed.
#include "FuzzSupport.h"

#include "hashlist/MediaHashList.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray document = fuzz::bytes(data, size).toByteArray();
    QBuffer in(&document);
    in.open(QIODevice::ReadOnly);
    QString error;
    const auto list = MediaHashList::read(&in, &error);
    if (list) {
        for (const MediaHashList::Entry& entry : list->entries)
            fuzz::require(!entry.file.isEmpty() && entry.size >= 0);
    }
    return 0;
}
