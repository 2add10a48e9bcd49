#include "tables/DistrictCache.h"

#include "platform/RunState.h"
#include "platform/TextUtil.h"
#include "tables/CCourtRecord.h"
#include "tables/DatabaseHandles.h"
#include "tables/Lookups.h"

DistrictCache& theDistrictCache = tl::RunState::Part<DistrictCache>();

void DistrictCache::Fill() {
    std::vector<std::string> codes;
    std::vector<std::string> names;
    CCourtRecord record(&thePlacesDb);
    record.Open(CRecordset::snapshot, "SELECT * FROM CourtTable ORDER BY CourtName", CRecordset::readOnly);
    for (; !record.IsEOF(); record.MoveNext()) {
        if (!codes.empty() && record.District == codes.back())
            continue;
        codes.push_back(record.District);
        names.push_back(LookupDistrictDescription(record.District));
    }
    codes_ = std::move(codes);
    names_ = std::move(names);
}

int DistrictCache::Find(std::string_view code) const {
    for (std::size_t i = 0; i < codes_.size(); ++i) {
        if (tl::EqualsNoCase(codes_[i], code))
            return static_cast<int>(i);
    }
    return -1;
}

void DistrictCache::Clear() {
    codes_.clear();
    names_.clear();
}
