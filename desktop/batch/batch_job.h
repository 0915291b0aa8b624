// One batch run: the configuration and the options resolved into a run request, the listing
// and inspection that check every name and file first, the run, and its exit status.
#pragma once

#include "desktop/batch/batch_options.h"

namespace vetra::desktop::batch {

enum ExitStatus {
    kNoRecordFailed = 0,
    kSomeRecordsFailed = 1,
    kUsageOrInputError = 2,
    kEngineOrDatabaseFailure = 3,
};

ExitStatus runBatchJob(const BatchOptions& options);

} // namespace vetra::desktop::batch
