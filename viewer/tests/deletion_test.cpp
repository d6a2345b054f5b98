// Deleting images, selections and folders on real folders, with the prompts
// answered from a script.
#include <sys/stat.h>

#include <QTest>

#include "docindex/docfiles_store.h"
#include "viewer/folder_deletion.h"
#include "viewer/image_deletion.h"
#include "viewer/selection_deletion.h"
#include "viewer/tests/deletion_support.h"
#include "viewer/tests/deletion_tests.h"

namespace hv::viewer::test {

namespace {

using A = PromptAnswer;
const std::string kCancelled = "This Delete Operation was Cancelled";

class DeletionTest : public QObject {
  Q_OBJECT

  ScriptedPrompts prompts_;
  FakeDocument* active_ = nullptr;
  DeletionContext ctx_{prompts_, [this]() -> DeletionDocument* { return active_; }};

 private slots:
  void init() {
    prompts_ = ScriptedPrompts{};
    active_ = nullptr;
    ctx_.deleteAsksToConfirm = true;
  }

  void anAliasedImageGoesWithItsThreeRecords() {
    ScratchFolder dir;
    const std::string gone = makeAliasedImage(dir.path(), "OPTI0001.TIF", 1);
    const std::string kept = makeAliasedImage(dir.path(), "OPTI0002.TIF", 2);
    QVERIFY(!gone.empty() && !kept.empty());

    // The dialog hands over the stored path; the records are found by the long name.
    SelectionDeletionResult r = deleteSelection(ctx_, {dir / "OPTI0001.TIF"});
    QCOMPARE(r.deleted, 1);
    QVERIFY(!r.cancelled);
    QVERIFY(!exists(dir / "OPTI0001.TIF"));
    QVERIFY(!hasAliasRecord(dir.path(), gone));
    QVERIFY(!hasJmxRecord(dir.path(), gone));
    QVERIFY(!hasHollerithRecord(dir.path(), gone));
    QVERIFY(exists(dir / "OPTI0002.TIF"));
    QVERIFY(hasAliasRecord(dir.path(), kept));
    QVERIFY(hasJmxRecord(dir.path(), kept));
    QVERIFY(hasHollerithRecord(dir.path(), kept));
    QCOMPARE(prompts_.statuses.front(), std::string("Deleting object 1 of 1"));
    QCOMPARE(prompts_.status, std::string("Ready"));

    // Asked by its long path, the confirmation names the short name and folder.
    std::string path = dir / kept;
    int cancel = 0;
    prompts_.script = {A::Ok};
    QCOMPARE(DeleteImageFile(ctx_, path, cancel, true, true, false), 1);
    QCOMPARE(prompts_.last(), "Are you sure you want to delete\n\n        OPTI0002.TIF in the directory \n\n" +
                                  dir.path() + " ?");
    QVERIFY(!exists(dir / "OPTI0002.TIF"));
    QVERIFY(!exists(dir / "DOCFILES.IDX") && !exists(dir / "JMX.HOL") && !exists(dir / "INDEX.HOL"));
  }

  void aReadOnlyAliasedImageIsRefusedAndKeepsItsRecords() {
    ScratchFolder dir;
    const std::string name = makeAliasedImage(dir.path(), "OPTI0001.TIF", 1);
    QVERIFY(::chmod((dir / "OPTI0001.TIF").c_str(), 0444) == 0);
    std::string path = dir / name;
    int cancel = 0;
    prompts_.script = {A::Cancel};
    QCOMPARE(DeleteImageFile(ctx_, path, cancel, false, true, false), 0);
    QCOMPARE(prompts_.last(), "Unable to delete " + (dir / "OPTI0001.TIF"));
    QCOMPARE(cancel, 1);
    QVERIFY(exists(dir / "OPTI0001.TIF"));
    QVERIFY(hasAliasRecord(dir.path(), name) && hasJmxRecord(dir.path(), name) &&
            hasHollerithRecord(dir.path(), name));
  }

  void noToTheFirstQuestionDeletesNothing() {
    ScratchFolder dir;
    QVERIFY(writeFile(dir / "a.tif") && writeFile(dir / "b.tif"));
    prompts_.script = {A::No};
    SelectionDeletionResult r = deleteSelection(ctx_, {dir / "a.tif", dir / "b.tif"});
    QVERIFY(r.cancelled);
    QCOMPARE(r.deleted, 0);
    QCOMPARE(prompts_.asked.front().text, std::string("Do you wish to continue with deletion of these 2 object(s)?"));
    QCOMPARE(prompts_.last(), kCancelled);
    QVERIFY(exists(dir / "a.tif") && exists(dir / "b.tif"));
  }

  void cancelOnAPerFilePromptStopsTheBatchWithEarlierFilesGone() {
    ScratchFolder dir;
    QVERIFY(writeFile(dir / "a.tif") && writeFile(dir / "locked.tif") && writeFile(dir / "c.tif"));
    QVERIFY(::chmod((dir / "locked.tif").c_str(), 0444) == 0);
    prompts_.script = {A::Yes, A::Cancel};
    SelectionDeletionResult r = deleteSelection(ctx_, {dir / "a.tif", dir / "locked.tif", dir / "c.tif"});
    QVERIFY(r.cancelled);
    QCOMPARE(r.deleted, 1);
    QVERIFY(!exists(dir / "a.tif"));
    QVERIFY(exists(dir / "locked.tif") && exists(dir / "c.tif"));
    QVERIFY(prompts_.saw("The file " + (dir / "locked.tif") + " is read-only.\nDo you want to delete it?"));
    QCOMPARE(prompts_.last(), kCancelled);
    QCOMPARE(prompts_.statuses.size(), std::size_t(3));  // objects 1 and 2, then the text put back

    // Cancel on a hidden file's question stops as well.
    QVERIFY(writeFile(dir / ".hidden"));
    prompts_ = ScriptedPrompts{};
    prompts_.script = {A::Yes, A::Cancel};
    r = deleteSelection(ctx_, {dir / ".hidden", dir / "c.tif"});
    QVERIFY(r.cancelled);
    QVERIFY(exists(dir / ".hidden") && exists(dir / "c.tif"));
    QVERIFY(prompts_.saw("is a hidden DOS file.\n\nDo you want to Delete it?"));
  }

  void aReadOnlyFileIsMadeWritableAfterYes() {
    ScratchFolder dir;
    QVERIFY(writeFile(dir / "locked.tif"));
    QVERIFY(::chmod((dir / "locked.tif").c_str(), 0444) == 0);
    SelectionDeletionResult r = deleteSelection(ctx_, {dir / "locked.tif", dir / "missing.tif"});
    QCOMPARE(r.deleted, 1);
    QVERIFY(!r.cancelled);
    QVERIFY(!exists(dir / "locked.tif"));
    QVERIFY(!prompts_.saw(kCancelled));
  }

  void systemFilesAreNeverDeleted() {
    ScratchFolder dir;
    QVERIFY(makeFifo(dir / "pipe") && makeSocket(dir / "sock") && makeFifo(dir / ".hiddenpipe"));
    // OK to both system messages, Yes to deleting the hidden FIFO.
    SelectionDeletionResult r = deleteSelection(ctx_, {dir / "pipe", dir / "sock", dir / ".hiddenpipe"});
    QCOMPARE(r.deleted, 0);
    QVERIFY(!r.cancelled);
    QVERIFY(exists(dir / "pipe") && exists(dir / "sock") && exists(dir / ".hiddenpipe"));
    QVERIFY(prompts_.saw("The file:  " + (dir / "pipe") + "\nis a DOS system file and cannot be deleted!"));
    QVERIFY(prompts_.saw("The file:  " + (dir / "sock") + "\nis a DOS system file and cannot be deleted!"));

    // Cancel on the system message stops the batch.
    QVERIFY(writeFile(dir / "after.tif"));
    prompts_ = ScriptedPrompts{};
    prompts_.script = {A::Yes, A::Cancel};
    r = deleteSelection(ctx_, {dir / "sock", dir / "after.tif"});
    QVERIFY(r.cancelled);
    QVERIFY(exists(dir / "sock") && exists(dir / "after.tif"));
  }

  void aFolderGoesWithoutFollowingItsLinks() {
    ScratchFolder dir, outside;
    QVERIFY(writeFile(outside / "keep.tif"));
    const std::string job = dir / "job";
    QVERIFY(::mkdir(job.c_str(), 0755) == 0 && ::mkdir((job + "/sub").c_str(), 0755) == 0);
    QVERIFY(writeFile(job + "/a.tif") && writeFile(job + "/sub/b.tif"));
    QVERIFY(writeFile(job + "/sub/ro.tif") && ::chmod((job + "/sub/ro.tif").c_str(), 0444) == 0);
    QVERIFY(::symlink(outside.path().c_str(), (job + "/sub/elsewhere").c_str()) == 0);
    QVERIFY(::symlink((outside / "keep.tif").c_str(), (job + "/file-link").c_str()) == 0);

    SelectionDeletionResult r = deleteSelection(ctx_, {job});
    QCOMPARE(r.deleted, 1);
    QVERIFY(!exists(job));
    QVERIFY(exists(outside / "keep.tif"));
    QCOMPARE(prompts_.asked.size(), std::size_t(1));  // only the batch question

    // A link to a folder, chosen itself, goes as a link.
    QVERIFY(::symlink(outside.path().c_str(), (dir / "linked").c_str()) == 0);
    r = deleteSelection(ctx_, {dir / "linked"});
    QCOMPARE(r.deleted, 1);
    QVERIFY(!exists(dir / "linked"));
    QVERIFY(exists(outside / "keep.tif"));
  }

  void aFolderHoldingASystemFileIsNotFullyDeleted() {
    ScratchFolder dir;
    const std::string job = dir / "job";
    QVERIFY(::mkdir(job.c_str(), 0755) == 0 && writeFile(job + "/a.tif") && makeFifo(job + "/pipe"));
    SelectionDeletionResult r = deleteSelection(ctx_, {job});
    QCOMPARE(r.deleted, 0);
    QCOMPARE(prompts_.last(), "The Directory:\n    " + job + "\nwas not fully deleted due to an error");
    QVERIFY(exists(job + "/pipe"));
    QVERIFY(!exists(job + "/a.tif"));
  }

  void anAliasedFolderIsConfirmedAndLosesItsRecord() {
    ScratchFolder dir;
    const std::string longName = "JOB FOLDER OF THE SCANNING RUN";
    QVERIFY(::mkdir((dir / "OPTI0007").c_str(), 0755) == 0 && writeFile(dir / "OPTI0007/x.tif"));
    QCOMPARE(hv::docindex::appendRecord(dir.path(), longName, "OPTI0007", 'W'), hv::Status::Ok);
    int cancel = 0;
    prompts_.script = {A::No};
    QCOMPARE(DeleteFolder(ctx_, dir / longName, cancel), 1);
    QCOMPARE(cancel, 1);
    QCOMPARE(prompts_.last(), "Are you sure you wish to continue with the deletion of folder\n" + (dir / longName) +
                                  "\nand all of its contents.\n\nThere is no recycle bin!");
    QVERIFY(exists(dir / "OPTI0007/x.tif") && hasAliasRecord(dir.path(), longName));

    cancel = 0;
    QCOMPARE(DeleteFolder(ctx_, dir / longName, cancel), 1);
    QCOMPARE(cancel, 0);
    QVERIFY(!exists(dir / "OPTI0007"));
    QVERIFY(!hasAliasRecord(dir.path(), longName));
    QCOMPARE(DeleteFolder(ctx_, "/", cancel), 0);
    QCOMPARE(DeleteFolder(ctx_, "", cancel), 0);
  }

  void theActiveImageGoesThroughTheActiveRoute() {
    ScratchFolder dir;
    QVERIFY(writeFile(dir / "shown.tif") && writeFile(dir / "next.tif"));
    FakeDocument doc;
    doc.path = dir / "shown.tif";
    doc.modified = true;
    doc.hasNeighbour = true;
    active_ = &doc;

    // No to the warning keeps everything.
    prompts_.script = {A::Yes, A::No};
    SelectionDeletionResult r = deleteSelection(ctx_, {dir / "shown.tif"});
    QCOMPARE(r.deleted, 0);
    QVERIFY(exists(dir / "shown.tif"));
    QVERIFY(!doc.released && !doc.stepped);
    QCOMPARE(prompts_.asked.back().text,
             std::string("WARNING:  You are about to delete an image that has been edited!\nDo you want to continue?"));

    // Yes: no second question, the image is released, the list corrected,
    // and the document moves on.
    prompts_ = ScriptedPrompts{};
    r = deleteSelection(ctx_, {dir / "shown.tif"});
    QCOMPARE(r.deleted, 1);
    QCOMPARE(prompts_.asked.size(), std::size_t(2));
    QVERIFY(doc.released && doc.stepped && !doc.closed);
    QCOMPARE(doc.dropped, std::vector<std::string>{"shown.tif"});
    QVERIFY(!exists(dir / "shown.tif") && exists(dir / "next.tif"));

    // Without a neighbour the document closes; Cancel on the confirmation
    // leaves it where it is.
    doc = FakeDocument{};
    doc.path = dir / "next.tif";
    int cancel = 0;
    prompts_.script = {A::Cancel};
    QCOMPARE(DeleteActiveImage(ctx_, doc, cancel), 0);
    QVERIFY(exists(dir / "next.tif") && !doc.closed && !doc.released);
    cancel = 0;
    QCOMPARE(DeleteActiveImage(ctx_, doc, cancel), 1);
    QVERIFY(!exists(dir / "next.tif") && doc.closed);
  }
};

}  // namespace

QObject* makeDeletionTest() { return new DeletionTest; }

}  // namespace hv::viewer::test

#include "deletion_test.moc"
