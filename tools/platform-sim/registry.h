#pragma once

#include <nlohmann/json.hpp>

#include <map>
#include <mutex>
#include <string>

// What the simulated platform keeps: beneficiaries (cedentes), their
// accounts (contas) and agreements (convênios), and how it judges and
// answers a request for them.
class Registry
{
public:
    using Json = nlohmann::ordered_json;

    // The fixed identification of the one software house the simulator
    // knows.
    static constexpr const char* softwareHouseCnpj = "58204617000290";
    static constexpr const char* softwareHouseToken = "b3f9e07a5d21c48f96a0e3d7152bc94e";

    struct Request
    {
        std::string method;
        std::string path; // percent-decoded
        // Header values by lower-case name; a header sent twice keeps the first.
        std::map<std::string, std::string> headers;
        std::string body;
    };

    struct Reply
    {
        int status = 200;
        Json body; // the envelope
    };

    // stateFile: where registrations are kept across runs; empty: in
    // memory only. A file that exists is read now.
    explicit Registry(std::string stateFile);

    // Judges and carries out one request. A dry run answers as it would
    // but stores nothing.
    Reply handle(const Request& request, bool dryRun);

private:
    Reply handleLocked(const Request& request, bool dryRun);
    void save() const;
    long long nextNumber(const char* counter);

    std::mutex m_mutex;
    std::string m_stateFile;
    Json m_state;
};
