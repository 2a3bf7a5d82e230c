#include "Skellowing/UnreadableTable.h"

namespace skellow {

UnreadableTable::Answer UnreadableTable::byDefault() const {
    // The copy known to be what the file held before the save that cut it, or one that cannot be told
    // from it where no other name can have kept another.
    if (record == Record::followed || (record == Record::undecided && !copyMayLieElsewhere()))
        return Answer::putBack;
    // A lone file that no save of this program cut (it would have left its record), with nothing beside
    // it that may be someone's rows: a new table, the unreadable file kept whole under a backup name.
    if (!severalNames && record == Record::none && wholeCopies == 0) return Answer::newTable;
    // Anything else may be the only place of the rows: the user decides, having been told of every copy.
    return Answer::cancel;
}

}   // namespace skellow
