#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// The judicial districts that electronic filing logins are entered for, read once per process
/// from the court table of the places database (thePlacesDb) and kept until the process ends:
/// each district's code (CourtTable.District) and the name shown for it (the court lookup's
/// description of the district).
class DistrictCache {
public:
    bool IsEmpty() const { return codes_.empty(); }
    std::size_t Size() const { return codes_.size(); }
    const std::vector<std::string>& Codes() const { return codes_; }
    const std::vector<std::string>& Names() const { return names_; }

    /// The position of a district code (compared without regard to case), -1 when it is not held.
    int Find(std::string_view code) const;

    /// Reads "SELECT * FROM CourtTable ORDER BY CourtName", taking a district once for each run
    /// of courts that share it in that order. Throws CDBException when the database fails; the
    /// cache is then left as it was.
    void Fill();

    /// Forgets every district, so that the next use reads them again.
    void Clear();

private:
    std::vector<std::string> codes_;
    std::vector<std::string> names_;
};

/// The process's district cache, part of its run state (platform/RunState.h).
extern DistrictCache& theDistrictCache;
