"""Every Windows program starts on the oldest supported Windows (7 SP1): it
imports only functions from the reviewed list, and its PE header asks for
that Windows and nothing newer."""

import re
import subprocess

from harness import ROOT, declared_tools

REVIEWED = ROOT / "tests" / "windows_imports.txt"


def reviewed():
    allowed = set()
    for line in REVIEWED.read_text().splitlines():
        words = line.split("#", 1)[0].split()
        if words:
            dll, function = words
            allowed.add((dll.lower(), function))
    return allowed


def pe_facts(objdump, program):
    """(imports as (dll, function or "ordinal N"), header fields) from `objdump -p`."""
    text = subprocess.run([objdump, "-p", str(program)], capture_output=True, text=True, check=True).stdout
    imports, dll = set(), None
    # binutils before 2.41 lists "vma  hint  name" (the ordinal for a name);
    # later ones "vma  ordinal|<none>  hint  name".
    entry = r"\t[0-9a-f]+\s+(\d+)(?:\s+(\S+))?\s*$"
    for line in text.splitlines():
        found = re.match(r"\s*DLL Name: (\S+)", line)
        if found:
            dll = found.group(1).lower()
            continue
        if re.match(r"\s*vma:\s+Ordinal\s+Hint", line):
            entry = r"\t[0-9a-f]+\s+(<none>|\d+)\s+(?:[0-9a-f]+|<none>)(?:\s+(\S+))?\s*$"
            continue
        found = re.match(entry, line)
        if dll and found:
            imports.add((dll, found.group(2) or f"ordinal {found.group(1)}"))
        elif not line.strip() and imports:
            dll = None
    header = dict(re.findall(r"^(M\w+Version)\s+(\d+)$", text, re.M))
    return imports, header


def programs(bin_dir):
    found = sorted(bin_dir.glob("*.exe"))
    assert sorted(program.stem for program in found) == sorted(tool.name for tool in declared_tools()), \
        f"expected one program of each declared tool in {bin_dir}"
    return found


def test_every_import_is_reviewed(windows_build):
    bin_dir, objdump = windows_build
    allowed = reviewed()
    unknown = {}
    for program in programs(bin_dir):
        imports, _ = pe_facts(objdump, program)
        assert imports, f"no imports read from {program.name}"
        for item in sorted(imports - allowed):
            unknown.setdefault(f"{item[0]} {item[1]}", []).append(program.name)
    assert not unknown, f"imports missing from {REVIEWED.name}: {unknown}"


def test_every_program_declares_windows_7(windows_build):
    bin_dir, objdump = windows_build
    for program in programs(bin_dir):
        _, header = pe_facts(objdump, program)
        versions = {key: header.get(key) for key in ("MajorOSystemVersion", "MinorOSystemVersion",
                                                     "MajorSubsystemVersion", "MinorSubsystemVersion")}
        assert versions == {"MajorOSystemVersion": "6", "MinorOSystemVersion": "1", "MajorSubsystemVersion": "6",
                            "MinorSubsystemVersion": "1"}, program.name
