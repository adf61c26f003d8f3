#include "config/defaultfiles.h"

#include <string_view>

namespace tw {

const std::vector<std::string>& DefaultJunkMaskLines()
{
    static const std::vector<std::string> lines = {
        "*.$$$=MS-DOS Temporary Files=true",
        "*.--*=Temporary Files=true",
        "*.??~=Temporary Files=true",
        "*._dd=Temporary Files=true",
        "*._mp=Temporary Files=true",
        "*.~*=Temporary Files=true",
        "*.bac=Backup Files=true",
        "*.bak=Backup Files=true",
        "*.bup=Backup Files=false",
        "*.chk=Log Files=true",
        "*.gid=Windows Help Backup Files=true",
        "*.ms=Microsoft Backup Files=true",
        "*.old=Backup Files=true",
        "*.shd=Backup Files=true",
        "*.svs=Backup Files=true",
        "*.tmp=Temporary Files=true",
        "*.wbk=Word Backup Files=true",
        "*.?$?=Temporary Files=true",
        "*.?^?=Temporary Files=true",
        "*.^=Temporary Files=true",
        "*.___=Temporary Files=true",
        "*._dtemp=Temporary Files=true",
        "*.nu3=Norton Utilities Backup Files=true",
        "*.$db=Temporary dBase IV Files=true",
        "*.cpy=Backup Files=true",
        "*.db$=Temporary dBase Files=true",
        "*.dmp=Potential Junk=true",
        "*.err=Error Files=true",
        "*.fic=Potential Junk=true",
        "*.ftg=Temporary Files=true",
        "*.fts=Temporary Files=true",
        "*.nav=Backup Files=true",
        "*log.txt=Log file=false",
        "*_ofidx.*=Microsoft Find Fast Indexer file=true",
        "*.nch=Temporary files created by MS Outlook Express=true",
        "anti-vir.dat=Created by F-Prot Anit-Virus=true",
        "chklist.*=Temporary file=true",
        "ffastun.*=Microsoft Find Fast Indexer file=true",
        "files.bbs=List of descriptions=true",
        "iebak.dat=Internet Explorer Junk file=true",
        "modemdet.txt=Windows diagnostic file=true",
        "mscreate.dir=Directory information file=true",
        "pspbrwse.jbf=Paint Shop Folder Image Information Cache file=true",
        "scandisk.log=ScanDisc log file=true",
        "suhdlog.dat=Windows diagnostic file=false",
        "system.1st=Windows diagnostic file=true",
        "tewrk.h*=TEdit temporary file=true",
        "thumbs.db=Multimedia database file=true",
        "twain???.mtx=Temporary file=true",
    };
    return lines;
}

std::vector<std::string> DefaultFileGroupLines()
{
    struct Group {
        std::string_view name;
        std::vector<std::string_view> wildcards;
    };
    static const std::vector<Group> groups = {
        {"Office", {"*.ppt", "*.doc", "*.xls", "*.xml", "*.rtf", "*.txt", "*.dot", "*.wps", "*.pdf"}},
        {"Archives",
         {"*.rar", "*.7z", "*.ace", "*.arj", "*.bz2", "*.cab", "*.gz", "*.iso", "*.tar", "*.zip", "*.jar", "*.arc",
          "*.msi"}},
        {"Images",
         {"*.ani", "*.bmp", "*.cur", "*.djv", "*.emf", "*.eps", "*.gif", "*.icl", "*.ico", "*.jpg", "*.kdc", "*.pic",
          "*.pdf", "*.png", "*.ppm", "*.ps", "*.psd", "*.tga", "*.tiff", "*.wmf"}},
        {"Music", {"*.mp2", "*.mp3", "*.mpa", "*.wav", "*.au", "*.aif", "*.aifc", "*.aiff", "*.mid", "*.midi", "*.ogg"}},
        {"Video", {"*.avi", "*.m3u", "*.m1v", "*.mov", "*.mpeg", "*.mpg", "*.swf", "*.wmv"}},
        {"Program", {"*.exe", "*.dll", "*.com", "*.ocx", "*.bat"}},
        {"Program source", {"*.asm", "*.c", "*.cpp", "*.cs", "*.h", "*.pas", "*.js", "*.vb", "*.java"}},
        {"Web pages", {"*.htm", "*.html", "*.shtml", "*.php", "*.asp", "*.aspx", "*.xml"}},
    };
    std::vector<std::string> lines;
    for (const Group& group : groups) {
        lines.push_back("[" + std::string(group.name) + "]");
        int number = 0;
        for (std::string_view wildcard : group.wildcards)
            lines.push_back(std::to_string(++number) + "=" + std::string(wildcard));
    }
    return lines;
}

} // namespace tw
