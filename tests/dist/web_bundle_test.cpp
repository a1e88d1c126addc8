// The browser build as one zip for a static host: `make web-dist` makes it
// from the site folder, the same bytes again from the same files whatever
// their times, with index.html at its root and a README; unpacked, it is
// the site folder byte for byte, which the browser test plays (web.Browser),
// so a host serving it serves that very page.
#include <map>

#include "tools/testing/e2e_support.h"

namespace vantor::e2e {
namespace {

const std::string kSource = VANTOR_SOURCE_DIR;
const std::string kSite = kSource + "/build-web/site";
const std::string kZip = kSource + "/build-web/vantor-web-" VANTOR_VERSION ".zip";

// Every file under `directory` with its bytes, by its path there.
std::map<std::string, std::string> Files(const std::string& directory) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), directory).string()] = ReadFile(entry.path());
  return files;
}

TEST(WebBundle, TheZipIsTheSiteByteForByteTheSameEachTime) {
  Child make({"/usr/bin/make", "--no-print-directory", "web-dist"}, kSource,
             {"MAKEFLAGS=", "MAKELEVEL="});
  ASSERT_EQ(make.Wait(std::chrono::seconds(600)), 0) << make.Output();
  const std::string zip = ReadFile(kZip);
  ASSERT_FALSE(zip.empty()) << kZip << " not made: " << make.Output();

  // The same files with other times give the same zip.
  WorkDir work(false);
  fs::copy(kSite, work / "site", fs::copy_options::recursive);
  Shell("find " + work / "site" + " -exec touch -d '2001-02-03 04:05' {} +");
  Child again({kSource + "/dist/make-web-zip", work / "site", work / "again.zip"}, kSource);
  ASSERT_EQ(again.Wait(), 0) << again.Output();
  EXPECT_TRUE(ReadFile(work / "again.zip") == zip) << "two zips of the same site differ";

  Child unpack({"/usr/bin/python3", "-m", "zipfile", "-e", kZip, work / "unpacked"}, kSource);
  ASSERT_EQ(unpack.Wait(), 0) << unpack.Output();
  std::map<std::string, std::string> unpacked = Files(work / "unpacked");
  EXPECT_TRUE(unpacked.contains("index.html")) << "no index.html at the zip's root";
  EXPECT_EQ(unpacked.erase("README.txt"), 1u) << "no README.txt in the zip";
  EXPECT_TRUE(unpacked == Files(kSite)) << "the zip does not hold the site folder as it is";
}

}  // namespace
}  // namespace vantor::e2e
