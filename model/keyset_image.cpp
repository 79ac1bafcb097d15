#include "model/keyset_image.h"

#include <chrono>
#include <utility>

namespace qvl {

StoredSubkey* StoredKeysets::Find(const std::string& folded) {
    return const_cast<StoredSubkey*>(std::as_const(*this).Find(folded));
}

const StoredSubkey* StoredKeysets::Find(const std::string& folded) const {
    for (const StoredSubkey& subkey : subkeys)
        if (subkey.folded == folded)
            return &subkey;
    return nullptr;
}

const unsigned char* ValueBytes(const KeysetRecord& record, int value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    if (value == kHeaderValue)
        return bytes;
    const int assignment = value - 1;
    return bytes + AssignmentOffset(assignment / kControlCount, assignment % kControlCount);
}

std::size_t ValueSize(int value) {
    return value == kHeaderValue ? sizeof(AppPref) : sizeof(ControlAssignment);
}

const char* StoredValueName(int value) {
    if (value == kHeaderValue)
        return kAppPrefValueName;
    return kControlValueNames[(value - 1) % kControlCount];
}

void DeriveLoaded(StoredSubkey& subkey, const StringSource& names) {
    if (!subkey.HasHeader())
        return;
    AppPref header = subkey.stored.header;
    TerminateField(header.appName);
    // Whatever is not stored keeps the defaults of a new keyset of that name.
    InitKeyset(subkey.loaded, header.appName, header.reservedA, names);
    subkey.loaded.header = header;
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int control = 0; control < kControlCount && subkey.Has(AssignmentValue(bank, control)); ++control)
            AssignmentAt(subkey.loaded, bank, control) = AssignmentAt(subkey.stored, bank, control);
    }
    TerminateStrings(subkey.loaded);
}

void ChooseTaken(std::vector<StoredSubkey>& subkeys) {
    for (std::size_t i = 0; i < subkeys.size(); ++i) {
        StoredSubkey& subkey = subkeys[i];
        subkey.taken = false;
        if (!subkey.HasHeader())
            continue;
        std::size_t chosen = subkeys.size();
        for (std::size_t j = 0; j < subkeys.size(); ++j) {
            const StoredSubkey& other = subkeys[j];
            if (!other.HasHeader() || other.foldedAppName != subkey.foldedAppName)
                continue;
            if (chosen == subkeys.size())
                chosen = j;
            if (other.folded == other.foldedAppName) {
                chosen = j;
                break;
            }
        }
        subkey.taken = chosen == i;
    }
}

std::uint64_t NextGeneration(bool known, std::uint64_t stored) {
    if (known && stored + 1 != 0)
        return stored + 1;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    // Nanoseconds apart from any counter a program could have reached since by single steps; never 0.
    return ticks == 0 ? 1 : ticks;
}

} // namespace qvl
