// Fakes of what the process list reads: the registry's performance keys and the process snapshot.
#pragma once

#include "driver/output/process_list.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace qvl::fakes {

constexpr long kFileNotFound = 2;

// The registry as far as the process list reads it. Values can be missing or fail; the performance
// data can need more room than the buffer it is offered, without saying how much, as the system does.
class FakePerformanceRegistry final : public PerformanceRegistry {
public:
    struct Query {
        Key key;
        std::string name;
        std::uint32_t size;
    };

    long QueryValue(Key key, const char* name, unsigned char* buffer, std::uint32_t& size) override {
        queries.push_back({key, name, size});
        const auto error = errors.find({key, name});
        if (error != errors.end())
            return error->second;
        const bool dataQuery = key == PerformanceRegistry::kPerformanceData && name[0] >= '0' && name[0] <= '9';
        const auto value = values.find({key, name});
        if (!dataQuery && value == values.end())
            return kFileNotFound;
        const std::vector<unsigned char>& bytes = dataQuery ? performanceData : value->second;
        if (buffer == nullptr) {
            size = static_cast<std::uint32_t>(bytes.size());
            return kRegistrySuccess;
        }
        const std::size_t needed = dataQuery ? std::max(performanceDataNeeds, bytes.size()) : bytes.size();
        if (size < needed) {
            size = dataQuery ? 0 : static_cast<std::uint32_t>(needed);
            return kRegistryMoreData;
        }
        std::copy(bytes.begin(), bytes.end(), buffer);
        size = static_cast<std::uint32_t>(bytes.size());
        return kRegistrySuccess;
    }

    void Set(Key key, const std::string& name, const std::vector<char>& text) {
        values[{key, name}] = std::vector<unsigned char>(text.begin(), text.end());
    }
    std::vector<std::uint32_t> DataQuerySizes(const std::string& query) const {
        std::vector<std::uint32_t> sizes;
        for (const Query& q : queries)
            if (q.key == PerformanceRegistry::kPerformanceData && q.name == query)
                sizes.push_back(q.size);
        return sizes;
    }
    int Count(Key key, const std::string& name) const {
        return static_cast<int>(std::count_if(queries.begin(), queries.end(),
                                              [&](const Query& q) { return q.key == key && q.name == name; }));
    }

    std::map<std::pair<Key, std::string>, std::vector<unsigned char>> values;
    std::map<std::pair<Key, std::string>, long> errors;
    std::vector<unsigned char> performanceData;
    std::size_t performanceDataNeeds = 0;
    std::vector<Query> queries;
};

class FakeSnapshots final : public ProcessSnapshots {
public:
    bool Take(std::vector<SnapshotProcess>& taken) override {
        ++takes;
        if (fail)
            return false;
        taken.insert(taken.end(), processes.begin(), processes.end());
        return true;
    }
    std::vector<SnapshotProcess> processes;
    bool fail = false;
    int takes = 0;
};

} // namespace qvl::fakes
