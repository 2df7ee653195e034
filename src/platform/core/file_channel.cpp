#include "platform/core/file_channel.h"
#include "platform/core/failure_words.h"
#include "platform/core/file_error.h"

namespace ferrowyn {

void FileChannel::refuseWhatNeverOpens(const ChosenFile& file) const {
    if (isOpen()) {
        throw FileError(words::kCannotOpen, file.path(),
                        "the channel is already open on " + displayText(m_file.path()));
    }
    if (!isOneName(file.name)) {
        throw FileError(words::kCannotOpen, file.path(), words::kNotOneName);
    }
}

} // namespace ferrowyn
