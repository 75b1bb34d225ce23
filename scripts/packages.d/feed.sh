# The RELAX NG validator the feed tests check the Atom feed with, against RFC 4287's schema.
group_title="Atom feed schema validation"
group_packages=(jing)
