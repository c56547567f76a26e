#include "fuzz/fuzzsupport.h"
#include "job/vekformat.h"

namespace {

bool sameJob(const VekJob &a, const VekJob &b)
{
    return a.path == b.path && a.baseName == b.baseName && a.lastFrame == b.lastFrame
            && a.zCut == b.zCut && a.type == b.type;
}

} // namespace

// Any bytes as a job file, opened as the printing page's Load opens one: the INI layout with
// missing keys repaired, or the older binary layout converted. Whatever was read and written
// back must read again complete and unchanged: a repair that loses or alters a value would
// show the user another job after the next load.
KELVAROME_FUZZ_ENTRY(jobfile)
{
    const QString path = writeScratchFile(QStringLiteral("job.vek"), data, size);
    VekJob job;
    QString error;
    const VekReading reading = readVekJob(path, job, error);
    if (reading == VekReading::Unreadable) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    job.printDocument();
    job.previewDocument();
    if (reading == VekReading::Complete)
        return 0;

    FUZZ_CHECK(rewriteVekJob(path, job, error));
    VekJob again;
    QString againError;
    FUZZ_CHECK(readVekJob(path, again, againError) == VekReading::Complete);
    FUZZ_CHECK(sameJob(job, again));
    return 0;
}
