// Runs one settings, lock or rename operation in a process of its own, so that a test can fault
// it from outside: a file size limit (a full disk), a user without rights (the tests run as root),
// a lock held by a running program, a kill in the middle of a rename.
//   [--fsize BYTES] [--as-nobody] load FILE   prints every setting, one a line
//   [--fsize BYTES] [--as-nobody] save FILE   saves fixed values, prints "saved" or why not
//   lock FILE                     prints the lock's state, holds it until standard input closes
//   rename JOURNAL FOLDER KILL TITLE...   renames FOLDER's WAV files to the titles, recorded in
//       JOURNAL, killed after KILL renames (0: once planned; -N: after N renames and their record)

#include "core/settings/SettingsStore.h"
#include "platform/Platform.h"
#include "core/rename/RenameJournal.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

using namespace meloport;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == u"--fsize") { // writes beyond then fail with EFBIG instead of killing the process
        const rlim_t bytes = args.value(1).toULongLong();
        const rlimit limit{bytes, bytes};
        if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 2;
        args = args.mid(2);
    }
    if (args.value(0) == u"--as-nobody") {
        args.removeFirst();
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 2;
    }
    const QString command = args.value(0), path = args.value(1);
    if (command == u"load") {
        const SettingsStore store(path);
        for (const SettingDefinition &definition : kSettingDefinitions)
            std::puts(store.value(definition.setting).toUtf8().constData());
    } else if (command == u"save") {
        const auto error = SettingsStore(path).save({{Setting::LastVersion, u"0.20"_qs}, {Setting::X, u"1500"_qs}});
        std::puts((error ? error->reason : u"saved"_qs).toUtf8().constData());
    } else if (command == u"lock") {
        const platform::InstanceLock lock(path);
        std::puts(lock.state() == platform::InstanceLockState::Acquired ? "acquired" : "not acquired");
        std::fflush(stdout);
        while (std::getchar() != EOF) {}
    } else if (command == u"rename") {
        // A kill that comes before a rename's record, or after it: both are what a crash leaves.
        const int kill = args.value(3).toInt();
        RenameBatch batch(planRenames(listMusicFiles(args.value(2), u"WAV"_qs), args.mid(4), u"WAV"_qs));
        batch.check();
        RenameJournalWriter journal(path);
        if (journal.begin(batch))
            return 2;
        if (kill == 0)
            std::raise(SIGKILL);
        int renamed = 0;
        batch.run([&](qsizetype step, bool undone) {
            if (++renamed == kill)
                std::raise(SIGKILL);
            journal.stepTaken(step, undone);
            if (renamed == -kill)
                std::raise(SIGKILL);
        }, [&] { journal.unitEnded(); });
        journal.finish();
        std::puts("finished");
    } else {
        return 2;
    }
    return 0;
}
