#!/usr/bin/env python3
"""test_sign - signs the built setup file with a throwaway certificate through scripts/sign,
and checks that the signature verifies, that the payload still reads, that a signed stub
is refused by mksetup build, and that bad certificates, keys and passwords are told plainly.

usage: test_sign.py --sign SIGN --mksetup MKSETUP --setup SETUP.EXE --stub STUB.EXE --out OUT
  OUT receives the signed setup file, for the end-to-end test that installs it.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from pe_file import DIRECTORY_SECURITY, PeFile  # noqa: E402

ARGS = None


def run(*command, env=None):
    return subprocess.run(command, capture_output=True, text=True, env=env)


def header_fields(data):
    """Where the PE header keeps its checksum and its security directory (the file offset
    and size of the certificate table), the two fields that signing changes."""
    pe = PeFile(data)
    return pe.checksum_offset, pe.directory_offset(DIRECTORY_SECURITY)


def security_directory(data):
    return PeFile(data).directory(DIRECTORY_SECURITY)


def without_signing_fields(data):
    checksum, security = header_fields(data)
    data = bytearray(data)
    data[checksum:checksum + 4] = bytes(4)
    data[security:security + 8] = bytes(8)
    return bytes(data)


class Signing(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.dir = cls.temp.name
        cls.cert, cls.key = cls.make_certificate("signer")
        cls.other_cert, _ = cls.make_certificate("other")

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    @classmethod
    def make_certificate(cls, name, password=None):
        """A self-signed code-signing certificate valid for a day, and its key."""
        cert = os.path.join(cls.dir, name + ".crt")
        key = os.path.join(cls.dir, name + ".key")
        keyargs = ["-passout", "pass:" + password] if password else ["-nodes"]
        result = run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-days", "1",
                     "-subj", "/CN=Lexivane test signer " + name,
                     "-addext", "extendedKeyUsage=codeSigning",
                     "-addext", "keyUsage=digitalSignature",
                     "-keyout", key, "-out", cert, *keyargs)
        assert result.returncode == 0, result.stderr
        return cert, key

    def path(self, name):
        return os.path.join(self.dir, name)

    def sign(self, *args, env=None):
        return run(ARGS.sign, *args, env=env)

    def test_signed_setup_file_verifies_and_its_payload_still_reads(self):
        signed = ARGS.out
        os.makedirs(os.path.dirname(signed), exist_ok=True)
        if os.path.exists(signed):
            os.remove(signed)
        result = self.sign(ARGS.setup, "--cert", self.cert, "--key", self.key, "-o", signed)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("signed", result.stdout)

        # osslsigncode itself accepts it, with the test certificate as the trusted root.
        verify = run("osslsigncode", "verify", "-in", signed, "-CAfile", self.cert)
        self.assertEqual(verify.returncode, 0, verify.stdout + verify.stderr)
        self.assertIn("Message digest algorithm  : SHA256", verify.stdout)
        self.assertIn("Text description: Lexivane", verify.stdout)
        self.assertIn("URL description: https://", verify.stdout)

        # The certificate table comes after the whole payload: the unsigned file is the
        # signed one's beginning, but for the header's checksum and security directory.
        with open(ARGS.setup, "rb") as f:
            unsigned = f.read()
        with open(signed, "rb") as f:
            data = f.read()
        offset, size = security_directory(data)
        self.assertEqual(security_directory(unsigned), (0, 0))
        self.assertGreaterEqual(offset, len(unsigned))
        self.assertEqual(offset + size, len(data))
        self.assertEqual(without_signing_fields(data[:len(unsigned)]),
                         without_signing_fields(unsigned))

        # The builder's reader still finds a sound payload, entry for entry the same.
        check = run(ARGS.mksetup, "verify", signed)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertIn("sound", check.stdout)
        listed = run(ARGS.mksetup, "list", signed)
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertEqual(listed.stdout, run(ARGS.mksetup, "list", ARGS.setup).stdout)

    def test_pkcs12_with_its_password_signs(self):
        p12 = self.path("signer.p12")
        pass_file = self.path("p12.pass")
        with open(pass_file, "w") as f:
            f.write("right horse\n")
        # Today's export, and an old one encrypted with RC2 (OpenSSL's legacy provider).
        for legacy in ([], ["-legacy"]):
            with self.subTest(legacy=legacy):
                made = run("openssl", "pkcs12", "-export", *legacy, "-in", self.cert,
                           "-inkey", self.key, "-out", p12, "-passout", "file:" + pass_file)
                self.assertEqual(made.returncode, 0, made.stderr)
                out = self.path("p12.exe")
                result = self.sign(ARGS.setup, "--pkcs12", p12, "--pass-file", pass_file,
                                   "-o", out)
                self.assertEqual(result.returncode, 0, result.stderr)
        wrong = self.sign(ARGS.setup, "--pkcs12", p12, "-o", self.path("wrong.exe"),
                          "--pass-env", "LXV_TEST_PASS",
                          env=dict(os.environ, LXV_TEST_PASS="wrong horse"))
        self.assertEqual(wrong.returncode, 1)
        self.assertEqual(wrong.stderr, "sign: %s: wrong password\n" % p12)
        self.assertFalse(os.path.exists(self.path("wrong.exe")))

    def test_errors_are_told_plainly_and_write_nothing(self):
        enc_cert, enc_key = self.make_certificate("encrypted", password="sesame")
        out = self.path("failed.exe")
        missing = self.path("missing.crt")
        cases = [
            (("--cert", missing, "--key", self.key), "%s: no such file" % missing),
            (("--cert", self.other_cert, "--key", self.key),
             "%s: does not belong to the certificate in %s" % (self.key, self.other_cert)),
            (("--cert", enc_cert, "--key", enc_key),
             "%s: is encrypted; give its password (--pass-file or --pass-env)" % enc_key),
            (("--cert", enc_cert, "--key", enc_key, "--pass-env", "LXV_TEST_PASS"),
             "%s: wrong password" % enc_key),
            (("--cert", self.key, "--key", self.key), "%s: not a certificate" % self.key),
        ]
        env = dict(os.environ, LXV_TEST_PASS="open")
        for args, message in cases:
            with self.subTest(message=message):
                result = self.sign(ARGS.setup, *args, "-o", out, env=env)
                self.assertEqual(result.returncode, 1)
                self.assertIn("sign: " + message, result.stderr)
                self.assertFalse(os.path.exists(out))
        unsigned = open(ARGS.setup, "rb").read()
        result = self.sign(ARGS.setup, "--cert", self.cert, "--key", self.key,
                           "--timestamp", "http://127.0.0.1:9/", "-o", out)
        self.assertEqual(result.returncode, 1)
        self.assertFalse(os.path.exists(out))
        self.assertEqual(open(ARGS.setup, "rb").read(), unsigned)

    def test_signed_stub_is_refused_by_the_builder(self):
        stub = self.path("stub.exe")
        result = self.sign(ARGS.stub, "--cert", self.cert, "--key", self.key, "-o", stub)
        self.assertEqual(result.returncode, 0, result.stderr)
        product = self.path("product")
        os.makedirs(product)
        with open(os.path.join(product, "readme.txt"), "w") as f:
            f.write("read me\n")
        out = self.path("from-signed-stub.exe")
        build = run(ARGS.mksetup, "build", "--stub", stub, "-o", out, product)
        self.assertEqual(build.returncode, 1)
        self.assertIn("sign the finished setup file, not the stub", build.stderr)
        self.assertFalse(os.path.exists(out))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for option in ("--sign", "--mksetup", "--setup", "--stub", "--out"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
