// UnreadableTable: what a run knows of a table's file that cannot be read, and the answer that its
// question takes by default. The default never writes a new table over a file that may be the only place
// of someone's rows: only over a lone file that no stopped save of this program can have cut.
#pragma once

#include <cstddef>

namespace skellow {

struct UnreadableTable {
    enum class Record {
        none,           // no save into the file left a record of a copy
        followed,       // it did, the file is still that save's state, and the copy recorded is there and
                        // reads whole
        undecided,      // likewise, but the record cannot tell whether the file is that save's state or
                        // another's: the copy is followed only where no save through another name can
                        // have kept one elsewhere
        unfollowable,   // it did, but the record or its copy cannot be had, or the copy is not whole
    };
    enum class Answer { putBack, newTable, cancel };

    bool severalNames = false;      // hard links: a new table reaches every name
    Record record = Record::none;   // of the copy a save into the file kept before emptying it
    bool recordsKept = true;        // its file system keeps that record on the file, seen by every name
    std::size_t wholeCopies = 0;    // whole tables beside this name, whose own they are unknown

    Answer byDefault() const;
    // A save through another name may have kept the only whole copy beside that name, where no run
    // through this one can find it.
    bool copyMayLieElsewhere() const { return severalNames && !recordsKept; }
};

}   // namespace skellow
