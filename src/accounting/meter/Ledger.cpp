#include "meter/Ledger.h"

Ledger::Ledger(const TUsageTable& table, const TPropRecord& prop, const PlanAccount& plan,
               const TSessionLog* log, const MeterSession* session)
    : table_(table), prop_(prop), plan_(plan), log_(log), session_(session) {}

uint32_t Ledger::MinutesOf(TDateTime first, TDateTime last) const {
    return table_.MinutesFromPeriod(first, last);
}

int64_t Ledger::KopecksOf(TDateTime first, TDateTime last) const {
    return plan_.KopecksOf(table_, prop_.MinuteCost, first, last);
}

CostStore::Bytes Ledger::BytesOf(TDateTime first, TDateTime last) const {
    return plan_.BytesOf(first, last);
}

BudgetFigures Ledger::MinuteFigures(TDateTime today) const {
    return plan_.MinuteFigures(table_, today);
}

BudgetFigures Ledger::KopeckFigures(TDateTime today) const {
    return plan_.KopeckFigures(table_, prop_.MinuteCost, today);
}

BudgetFigures Ledger::MegabyteFigures(TDateTime today) const {
    return plan_.MegabyteFigures(today);
}

std::optional<int64_t> Ledger::SessionKopecks(std::string_view head, uint32_t minutes) const {
    return plan_.SessionKopecks(head, minutes, prop_.MinuteCost);
}
