#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

/// The data types a recordset field is exchanged as.
enum class FieldKind { Text, Long, Int, Bool, Date };

/// One bound field: its kind, its bracketed name, its bound length (Text) and the member that holds
/// it. Exactly one of the pointers is set, matching the kind (Long and Int share number).
struct FieldBinding {
    FieldKind kind;
    const char* name;
    std::size_t maxLength = 0;
    std::string* text = nullptr;
    std::int32_t* number = nullptr;
    bool* flag = nullptr;
    std::time_t* time = nullptr;
};

/// Collects a recordset's bound fields in exchange order; the n-th field receives the n-th column.
class CFieldExchange {
public:
    CFieldExchange() { fields_.reserve(kTypicalFields); }

    void Add(const FieldBinding& field) { fields_.push_back(field); }
    const std::vector<FieldBinding>& Fields() const { return fields_; }
    /// Hands the collected fields over; the exchange is empty afterwards.
    std::vector<FieldBinding> TakeFields() { return std::move(fields_); }

private:
    // Enough for every recordset of the program, so collecting them allocates once.
    static constexpr std::size_t kTypicalFields = 16;

    std::vector<FieldBinding> fields_;
};

/// Binds a text member; a longer text is cut to maxLength characters when read.
inline void RFX_Text(CFieldExchange& fx, const char* name, std::string& value, std::size_t maxLength = 255) {
    fx.Add({.kind = FieldKind::Text, .name = name, .maxLength = maxLength, .text = &value});
}
/// Binds a 32-bit signed member.
inline void RFX_Long(CFieldExchange& fx, const char* name, std::int32_t& value) {
    fx.Add({.kind = FieldKind::Long, .name = name, .number = &value});
}
/// Binds an int member (32 bits here).
inline void RFX_Int(CFieldExchange& fx, const char* name, int& value) {
    fx.Add({.kind = FieldKind::Int, .name = name, .number = &value});
}
/// Binds a Yes/No member: stored as -1 (true) or 0.
inline void RFX_Bool(CFieldExchange& fx, const char* name, bool& value) {
    fx.Add({.kind = FieldKind::Bool, .name = name, .flag = &value});
}
/// Binds a date and time member (seconds since 1970, local time in the file; 0 is "not set").
inline void RFX_Date(CFieldExchange& fx, const char* name, std::time_t& value) {
    fx.Add({.kind = FieldKind::Date, .name = name, .time = &value});
}
