"""What the embedding and branding scripts share: running a tool and reading a file."""
import subprocess
import sys


def run(*cmd, ok=True):
    """Runs `cmd`; when `ok`, a failure ends the script with its output."""
    result = subprocess.run(cmd, capture_output=True, timeout=120)
    if ok and result.returncode != 0:
        sys.exit(f"{' '.join(cmd)} failed:\n{(result.stdout + result.stderr).decode()[-3000:]}")
    return result


def read(path):
    with open(path, "rb") as f:
        return f.read()
