// Random sequences of Edit, Post, Cancel, Append, Delete, Recall and Pack with memos of
// random lengths, on each memo kind, compared after every step with a model of what
// every record and memo must read. Besides the texts, the memo file itself is checked:
// no two records' memos share a block, and on dBase IV no memo lies in a free run.

#include <algorithm>
#include <fstream>
#include <random>

#include "DsHelpers.h"
#include "engine/FieldText.h"

namespace {

struct ModelRecord {
    std::string name;
    std::string memo;
    bool deleted = false;
};

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

class MemoFileView {
public:
    MemoFileView(const std::string& path, uint8_t version) : in_(path, std::ios::binary), version_(version) {
        in_.seekg(0, std::ios::end);
        size_ = static_cast<int64_t>(in_.tellg());
        uint8_t h[32] = {};
        Read(0, h, sizeof h);
        if (version == 0x83) blockSize_ = 512;
        else if (version == 0x8B) blockSize_ = Le32(h + 20);
        else blockSize_ = (h[6] << 8) | h[7];
    }
    int64_t BlockSize() const { return blockSize_; }
    // Blocks a memo of `length` bytes occupies.
    int64_t Span(int64_t length) const {
        const int64_t used = version_ == 0x83 ? length + 2 : length + 8;
        return (used + blockSize_ - 1) / blockSize_;
    }
    // The free runs of a dBase IV file as [first, end) block ranges.
    std::vector<std::pair<int64_t, int64_t>> FreeRuns() {
        std::vector<std::pair<int64_t, int64_t>> runs;
        if (version_ != 0x8B) return runs;
        uint8_t w[8] = {};
        Read(0, w, 4);
        const int64_t end = (size_ + blockSize_ - 1) / blockSize_;
        int64_t at = Le32(w);
        for (int steps = 0; at != 0 && at != end && at != size_ / blockSize_ && steps < 100000; ++steps) {
            Read(at * blockSize_, w, 8);
            runs.emplace_back(at, at + Le32(w + 4));
            at = Le32(w);
        }
        return runs;
    }

private:
    void Read(int64_t offset, uint8_t* out, size_t n) {
        in_.clear();
        in_.seekg(offset);
        in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(n));
    }

    std::ifstream in_;
    uint8_t version_;
    int64_t size_ = 0;
    int64_t blockSize_ = 512;
};

class EditModel : public ::testing::TestWithParam<int> {
protected:
    uint8_t Version() const { return static_cast<uint8_t>(GetParam()); }

    std::string RandomMemo(int step) {
        // Mostly short texts, now and then one of up to 70,000 bytes; now and then none.
        const int pick = static_cast<int>(rng_() % 20);
        size_t length = pick == 0 ? 0 : pick == 1 ? rng_() % 70001 : rng_() % 1500;
        std::string text = "s" + std::to_string(step) + ":";
        const char letter = static_cast<char>('a' + rng_() % 26);
        while (text.size() < length) text += letter;
        text.resize(length);
        return text;
    }

    void WriteMemo(TRidedezDataSet& ds, const std::string& text) {
        std::unique_ptr<TBlobStream> s = ds.CreateBlobStream(ds.FieldByName("NOTE"), TBlobStreamMode::bmWrite);
        s->Write(text.data(), static_cast<int32_t>(text.size()));
    }

    // Compares the file with the model through the dataset's own table object.
    void Check(TRidedezDataSet& ds, const std::vector<ModelRecord>& model, const std::string& memoPath,
               const std::string& step) {
        DBFObject& t = *ds.Table();
        TRecordPointer own(t, nullptr);
        ASSERT_EQ(ds.RecordCount(), static_cast<int32_t>(model.size())) << step;
        MemoFileView view(memoPath, Version());
        std::vector<std::pair<int64_t, int64_t>> used;
        for (size_t i = 0; i < model.size(); ++i) {
            t.GoRecord(static_cast<int32_t>(i + 1));
            const std::string where = step + ", record " + std::to_string(i + 1);
            ASSERT_EQ(t.IsDeleted(), model[i].deleted) << where;
            ASSERT_EQ(TrimRightBlanks(t.GetText(1)), model[i].name) << where;
            ASSERT_EQ(t.MemoText(2), model[i].memo) << where;
            const int64_t block = t.MemoBlockNumber(2);
            ASSERT_EQ(block == 0, model[i].memo.empty()) << where;
            if (block != 0) used.emplace_back(block, block + view.Span(static_cast<int64_t>(model[i].memo.size())));
        }
        std::vector<std::pair<int64_t, int64_t>> all = used;
        const auto runs = view.FreeRuns();
        all.insert(all.end(), runs.begin(), runs.end());
        std::sort(all.begin(), all.end());
        for (size_t k = 1; k < all.size(); ++k) {
            ASSERT_LE(all[k - 1].second, all[k].first)
                << step << ": blocks " << all[k - 1].first << ".." << all[k - 1].second << " and " << all[k].first
                << ".." << all[k].second << " overlap (memos of two records, or a memo and a free run)";
        }
    }

    std::mt19937 rng_{20261208u + static_cast<unsigned>(GetParam())};
};

}  // namespace

TEST_P(EditModel, EveryMemoReadsAsLastPostedAndNoneIsShared) {
    testutil::TempDir dir;
    const std::string path = dir.File("R.DBF");
    CreateDBFTable(path, Version(), dstest::Defs({"NAME:C:12", "NOTE:M"}));
    const std::string memoPath = dir.File(Version() == 0x83 || Version() == 0x8B ? "R.DBT" : "R.FPT");
    TRidedezDataSet ds;
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("R.DBF");
    ds.SetExclusive(true);
    ds.SetTranslateASCII(false);
    ds.SetUseDeleted(true);
    ds.Open();
    std::vector<ModelRecord> model;
    const int kSteps = 300;
    for (int step = 0; step < kSteps; ++step) {
        const int op = static_cast<int>(rng_() % 100);
        const std::string name = "n" + std::to_string(step);
        std::string what;
        if (model.empty() || op < 30) {
            // Append (with a memo or not), posted or cancelled, or AppendRecord.
            ModelRecord r{name, "", false};
            if (op % 3 == 0) {
                r.memo = RandomMemo(step);
                ds.AppendRecord({Text(r.name), Text(r.memo)});
                model.push_back(r);
                what = "AppendRecord";
            } else {
                ds.Append();
                ds.FieldByName("NAME").SetAsString(r.name);
                if (rng_() % 4 != 0) {
                    r.memo = RandomMemo(step);
                    WriteMemo(ds, r.memo);
                }
                if (rng_() % 4 == 0) {
                    ds.Cancel();
                    what = "Append+Cancel";
                } else {
                    ds.Post();
                    model.push_back(r);
                    what = "Append+Post";
                }
            }
        } else if (op < 75) {
            // Edit one record: its name, its memo (once or twice) or both; post or cancel.
            const size_t i = rng_() % model.size();
            ds.SetRecNo(static_cast<int32_t>(i + 1));
            ds.Edit();
            ModelRecord r = model[i];
            if (rng_() % 3 != 0) {
                r.name = name;
                ds.FieldByName("NAME").SetAsString(r.name);
            }
            const int memoWrites = static_cast<int>(rng_() % 3);
            for (int k = 0; k < memoWrites; ++k) {
                r.memo = RandomMemo(step * 10 + k);
                WriteMemo(ds, r.memo);
            }
            if (rng_() % 3 == 0) {
                ds.Cancel();
                what = "Edit+Cancel of " + std::to_string(i + 1);
            } else {
                ds.Post();
                model[i] = r;
                what = "Edit+Post of " + std::to_string(i + 1);
            }
        } else if (op < 87) {
            const size_t i = rng_() % model.size();
            ds.SetRecNo(static_cast<int32_t>(i + 1));
            ds.Delete();
            model[i].deleted = true;
            what = "Delete of " + std::to_string(i + 1);
        } else if (op < 96) {
            const size_t i = rng_() % model.size();
            ds.SetRecNo(static_cast<int32_t>(i + 1));
            ds.Recall();
            model[i].deleted = false;
            what = "Recall of " + std::to_string(i + 1);
        } else {
            ds.Pack();
            std::erase_if(model, [](const ModelRecord& r) { return r.deleted; });
            ds.First();
            what = "Pack";
        }
        Check(ds, model, memoPath, "step " + std::to_string(step) + " (" + what + ")");
        if (HasFatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(FourKinds, EditModel, ::testing::Values(0x83, 0x8B, 0xF5, 0x30));
