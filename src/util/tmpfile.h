#pragma once
// Uniquely named temporary files, removed when the last handle lets go.
//
// A handle only names the file; whoever holds it opens, writes and reads it.
// Copies share one body and the file goes with the last of them.

#include <string>

class TTmpFile {
public:
    // The empty handle.
    TTmpFile() = default;
    // A new unique name "TMP…" in the temporary directory ($TMPDIR, else
    // /tmp) whose extension is replaced by `suffix`; throws xmsg on failure.
    explicit TTmpFile(const std::string& suffix, bool deleteOnRelease = true);
    // A handle to a file named elsewhere (not reserved here), deleted with
    // the last handle when `deleteOnRelease` says so.
    static TTmpFile Adopt(const std::string& path, bool deleteOnRelease = true);
    TTmpFile(const TTmpFile& other);
    TTmpFile& operator=(const TTmpFile& other);
    ~TTmpFile();

    // Lets go of the body; the handle becomes empty.
    void Release();

    bool IsEmpty() const { return Imp == nullptr; }
    // The full path; "" for the empty handle.
    const std::string& GetFileName() const;
    // Handles sharing this body (0 for the empty handle).
    int UseCount() const;

    // `name` with everything after its last '.' replaced by `suffix`, or
    // with '.' and `suffix` appended when its file part has no '.'. The
    // suffix is used as given: ".sw" gives a name ending in "..sw".
    static std::string ApplySuffix(const std::string& name, const std::string& suffix);

private:
    struct TImp {
        std::string FileName;
        // The empty file that reserved the unique number; kept until the
        // body goes so no other name can take the number meanwhile.
        std::string Reservation;
        bool DeleteOnRelease;
        int RefCount;
    };
    TImp* Imp = nullptr;
};
